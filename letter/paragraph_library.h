// ParagraphLibrary: the four constant pools of GBK paragraph entries, numbered from 1.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace corvane {

enum class Pool { kOpeningPool, kBodyPool1, kBodyPool2, kClosingPool };

inline constexpr Pool kAllPools[] = {Pool::kOpeningPool, Pool::kBodyPool1, Pool::kBodyPool2,
                                     Pool::kClosingPool};

std::string_view PoolName(Pool pool);
int EntryCount(Pool pool);
// Entry `number` (1 to EntryCount) as a view of the stored bytes; nothing outside that range.
std::optional<std::string_view> Entry(Pool pool, int number);

}  // namespace corvane
