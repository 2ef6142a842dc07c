#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A small JSON writer for the command line's output. Byte strings from files
// are written as lowercase hex; 32-bit floats as "%.9g", with NaN and the
// infinities as the strings "nan", "inf" and "-inf".
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);

    JsonWriter& Int(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    JsonWriter& String(std::string_view text);  // plain ASCII text
    JsonWriter& Hex(std::string_view bytes);
    JsonWriter& Float(float value);
    // Splices in a value written by another writer.
    JsonWriter& Raw(std::string_view json);

    const std::string& str() const { return out_; }

private:
    void Separate();
    std::string out_;
    bool needComma_ = false;
};
