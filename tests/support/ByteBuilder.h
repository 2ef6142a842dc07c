#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// Builds a file image from named little-endian fields, so a test reads like
// the layout table of the format it builds.
class ByteBuilder {
public:
    ByteBuilder& u8(uint8_t value) { bytes_.push_back(value); return *this; }
    ByteBuilder& u16(uint16_t value) { return raw(&value, 2); }
    ByteBuilder& i16(int16_t value) { return raw(&value, 2); }
    ByteBuilder& u32(uint32_t value) { return raw(&value, 4); }
    ByteBuilder& i32(int32_t value) { return raw(&value, 4); }
    ByteBuilder& f32(float value) { return raw(&value, 4); }
    ByteBuilder& f64(double value) { return raw(&value, 8); }
    ByteBuilder& text(std::string_view value) { return raw(value.data(), value.size()); }
    ByteBuilder& cstr(std::string_view value) { text(value); return u8(0); }
    // Exactly width bytes: text cut or padded with pad.
    ByteBuilder& field(std::string_view value, size_t width, uint8_t pad = 0) {
        for (size_t i = 0; i < width; ++i) u8(i < value.size() ? static_cast<uint8_t>(value[i]) : pad);
        return *this;
    }
    ByteBuilder& fill(size_t count, uint8_t value = 0) { bytes_.insert(bytes_.end(), count, value); return *this; }
    ByteBuilder& append(const std::vector<uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); return *this; }
    // Byte by byte: g++ 12 warns falsely (-Warray-bounds) on a range insert here.
    ByteBuilder& raw(const void* data, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes_.push_back(static_cast<const uint8_t*>(data)[i]);
        return *this;
    }

    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// A folder of its own for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto folder = std::filesystem::temp_directory_path() / ("lorvane-test-" + std::to_string(random()));
            if (std::error_code error; std::filesystem::create_directory(folder, error)) path_ = folder;
        }
    }
    ~TempDir() { std::error_code error; std::filesystem::remove_all(path_, error); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to a file of this folder and returns its path.
    // The name and the path are UTF-8, as the program's paths are.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::filesystem::path file = path_ / std::filesystem::path(std::u8string(name.begin(), name.end()));
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        const std::u8string utf8 = file.u8string();
        return std::string(utf8.begin(), utf8.end());
    }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

#ifdef LORVANE_SAMPLES_DIR
// Path of a real sample file beside the project, or empty when absent.
inline std::string SamplePath(const std::string& name) {
    std::filesystem::path file = std::filesystem::path(LORVANE_SAMPLES_DIR) / name;
    return std::filesystem::exists(file) ? file.string() : std::string();
}
#endif
