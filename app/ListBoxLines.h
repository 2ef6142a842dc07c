#pragma once

#include "common/LineList.h"

class QListWidget;

// A list box of the dialog as the core sees it: every line the readers, the
// GTM loader and the correction append (code page 950 bytes) is shown decoded,
// a byte the code page does not define as a replacement character.
class ListBoxLines : public LineList {
public:
    explicit ListBoxLines(QListWidget* box) : box_(box) {}

    void AddLine(std::string_view line) override;

    // Empties the list box; only the dialog does this.
    void ResetContent();

private:
    QListWidget* box_;
};
