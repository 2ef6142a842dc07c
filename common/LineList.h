#pragma once

#include <string>
#include <string_view>
#include <vector>

// A list of display lines, as the dialog's list boxes hold them. Readers, the
// GTM loader and the correction append lines (bytes in code page 950); only the
// owner of the list ever empties it.
class LineList {
public:
    virtual ~LineList() = default;
    virtual void AddLine(std::string_view line) = 0;
};

// A list that simply keeps its lines, for the command line and for tests.
class VectorLineList : public LineList {
public:
    void AddLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};
