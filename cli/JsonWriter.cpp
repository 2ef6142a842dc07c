#include "cli/JsonWriter.h"

#include <cmath>
#include <cstdio>

#include "cli/Console.h"

// The text is JSON, so plain ASCII without NUL bytes: any piece of it passes
// through Print's "%s" whole, and the Windows console shows it alike.
void JsonWriter::Flush() {
    if (!stream_ || out_.empty()) return;
    Print(stream_, "%s", out_.c_str());
    out_.clear();
}

void JsonWriter::Finish() {
    out_ += '\n';
    Flush();
}

void JsonWriter::Separate() {
    if (needComma_) out_ += ',';
    needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
    Separate();
    out_ += '{';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    out_ += '}';
    needComma_ = true;
    FlushWhenFull();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    Separate();
    out_ += '[';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    out_ += ']';
    needComma_ = true;
    FlushWhenFull();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    Separate();
    out_ += '"';
    out_ += key;
    out_ += "\":";
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t value) {
    Separate();
    out_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    Separate();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    Separate();
    out_ += "null";
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    Separate();
    out_ += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') out_ += '\\';
        out_ += c;
    }
    out_ += '"';
    return *this;
}

JsonWriter& JsonWriter::Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    Separate();
    out_ += '"';
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        out_ += kDigits[byte >> 4];
        out_ += kDigits[byte & 0x0F];
    }
    out_ += '"';
    return *this;
}

JsonWriter& JsonWriter::Float(float value) {
    if (std::isnan(value)) return String("nan");
    if (std::isinf(value)) return String(value < 0 ? "-inf" : "inf");
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    Separate();
    out_ += text;
    return *this;
}

JsonWriter& JsonWriter::Raw(std::string_view json) {
    Separate();
    out_ += json;
    return *this;
}
