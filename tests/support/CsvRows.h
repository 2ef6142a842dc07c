#pragma once

#include <fstream>
#include <map>
#include <string>
#include <vector>

// The rows of a CSV file (as GPSBabel's unicsv writes them) by column name;
// quoted fields may hold commas.
using CsvRow = std::map<std::string, std::string>;

inline std::vector<CsvRow> ReadCsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> header;
    std::vector<CsvRow> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            else if (c == ',' && !quoted) fields.emplace_back();
            else if (c != '\r') fields.back() += c;
        }
        if (header.empty()) {
            header = fields;
        } else {
            CsvRow& row = rows.emplace_back();
            for (size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
        }
    }
    return rows;
}
