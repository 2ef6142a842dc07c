#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// A small JSON writer for the command line's output. Byte strings from files
// are written as lowercase hex; 32-bit floats as "%.9g", with NaN and the
// infinities as the strings "nan", "inf" and "-inf". Without a stream it keeps
// the whole text (str); with one it hands the text to Print in pieces of about
// 64 KiB as it grows, so that a listing of millions of track points never
// stands whole in memory.
class JsonWriter {
public:
    JsonWriter() = default;
    explicit JsonWriter(std::FILE* stream) : stream_(stream) { out_.reserve(kPiece + 4096); }
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

    // The text written so far; with a stream, only what it has not received.
    const std::string& str() const { return out_; }
    // Ends the document with a line feed and gives the stream the rest.
    void Finish();

private:
    static constexpr size_t kPiece = 64 * 1024;
    // Gives the stream what it has not received yet; nothing without a stream.
    void Flush();
    void Separate();
    void FlushWhenFull() {
        if (stream_ && out_.size() >= kPiece) Flush();
    }
    std::FILE* stream_ = nullptr;
    std::string out_;
    bool needComma_ = false;
};
