#include "tests/gbk_convert.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace corvane::testing {
namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
    iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::unique_ptr<void, IconvCloser> cd(raw);
    std::string out(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(raw, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    return Convert("CP936", "UTF-8", utf8);
}
std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    return Convert("UTF-8", "CP936", gbk);
}

}  // namespace corvane::testing
