#include "letter/paragraph_library.h"

#include "resources/resource_data.h"

namespace corvane {
namespace {

std::span<const std::string_view> Entries(Pool pool) {
    switch (pool) {
        case Pool::kOpeningPool:
            return resources::kOpeningPool;
        case Pool::kBodyPool1:
            return resources::kBodyPool1;
        case Pool::kBodyPool2:
            return resources::kBodyPool2;
        case Pool::kClosingPool:
            return resources::kClosingPool;
    }
    return {};
}

}  // namespace

std::string_view PoolName(Pool pool) {
    switch (pool) {
        case Pool::kOpeningPool:
            return "OpeningPool";
        case Pool::kBodyPool1:
            return "BodyPool1";
        case Pool::kBodyPool2:
            return "BodyPool2";
        case Pool::kClosingPool:
            return "ClosingPool";
    }
    return {};
}

int EntryCount(Pool pool) {
    return static_cast<int>(Entries(pool).size());
}

std::optional<std::string_view> Entry(Pool pool, int number) {
    const auto entries = Entries(pool);
    if (number < 1 || static_cast<std::size_t>(number) > entries.size()) return std::nullopt;
    return entries[static_cast<std::size_t>(number) - 1];
}

}  // namespace corvane
