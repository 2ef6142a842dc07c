#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The values of a GPX file as the GPX reader takes them from attribute and
// element text (UTF-8, as the XML parser delivers it).
namespace gpx {

// True for the white space of XML: blank, tab, carriage return, line feed.
inline bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text of one element, collected from the pieces the parser delivers,
// in bounded memory whatever the size of the element: white space before the
// text is dropped, and at most limit bytes are kept.
class ElementText {
public:
    explicit ElementText(size_t limit) : limit_(limit) {}

    void Clear() {
        text_.clear();
        cut_ = false;
    }
    void Append(const char* data, size_t length);

    // The text without white space before or after it. When more than the
    // limit was given, the first limit bytes after the leading white space,
    // and white space at their end stays if more text followed.
    std::string_view Trimmed() const;
    // True when text other than white space was dropped for the limit.
    bool Cut() const { return cut_; }

private:
    size_t limit_;
    std::string text_;
    bool cut_ = false;
};

// A decimal number of degrees ("-23.5", "+121", "1.5e1"), white space around
// it allowed, turned into semicircles rounded to the nearest count. 0 when the
// text is no finite number or lies outside -limit .. limit.
int ParseDegrees(std::string_view text, double limit, int32_t& semicircles);

// An elevation in metres, narrowed to a 32-bit float. 0 when the text is no
// number or does not fit a float.
int ParseElevation(std::string_view text, float& altitude);

// An ISO 8601 date and time ("2013-03-09T20:45:12Z", with fractions of a
// second, which are dropped, and "Z", an offset such as "+08:00" or none,
// which means UTC) as seconds since 1989-12-31 00:00:00 UTC, the count Garmin
// files keep. A time before that or past what 32 bits count gives 0, as a
// point without time has. 0 returned when the text is no such time.
int ParseTime(std::string_view text, uint32_t& seconds);

// Stores UTF-8 text in a name field of capacity bytes as code page 950 text:
// a character the code page lacks becomes "?", and text that does not fit is
// cut after its last whole character.
void StoreUtf8Name(char* field, size_t capacity, std::string_view utf8);

}  // namespace gpx
