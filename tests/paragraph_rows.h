// The expected form of every paragraph entry, one row per entry, in the notation of EntryShape.
#pragma once

#include <string_view>
#include <vector>

namespace corvane {

struct ParagraphRow {
    int number;
    int bytes;
    int chars;
    std::string_view lead;
    std::string_view inner;  // inner breaks, then an unusual end
    std::string_view opening;
};

struct PoolRows {
    std::string_view pool;
    std::vector<ParagraphRow> rows;
};

const std::vector<PoolRows>& ParagraphRows();

}  // namespace corvane
