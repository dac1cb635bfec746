// The slogan ticker seen from outside: 标签5's caption grows by ten bytes a second and starts again
// every 25 seconds, also while the gate is open.
#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource_data.h"
#include "tests/e2e/harness.h"

namespace corvane::testing {
namespace {

struct Sample {
    ULONGLONG at;  // milliseconds
    std::string caption;
};

class TickerTest : public CorvaneTest {
  protected:
    // Reads 标签5 every few milliseconds for `milliseconds`, or until `enough` says so.
    template <typename Enough>
    std::vector<Sample> Watch(DWORD milliseconds, Enough&& enough) {
        std::vector<Sample> samples;
        const HWND label = Main("标签5");
        WaitUntil(
            [&] {
                samples.push_back({GetTickCount64(), GetGbkText(label)});
                return enough(samples);
            },
            milliseconds);
        return samples;
    }

    // Every caption is the beginning of the slogan, cut at a character boundary.
    static void ExpectPrefixesOfTheSlogan(const std::vector<Sample>& samples) {
        for (const Sample& s : samples) {
            ASSERT_TRUE(resources::kTickerText.starts_with(s.caption))
                << "caption of " << s.caption.size() << " bytes is not the start of the slogan";
        }
    }
};

TEST_F(TickerTest, TicksWhileTheGateIsOpen) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const std::vector<Sample> samples = Watch(1500, [](const std::vector<Sample>&) { return false; });
    ASSERT_NO_FATAL_FAILURE(ExpectPrefixesOfTheSlogan(samples));
    int growths = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        growths += samples[i].caption.size() > samples[i - 1].caption.size();
    // 1.5 seconds are 15 ticks; a start of a new cycle in between costs at most a few of them.
    EXPECT_GE(growths, 5) << "the ticker label did not grow while the gate was open";
    EXPECT_TRUE(IsWindowVisible(gate_));
}

TEST_F(TickerTest, TypesTheWholeSloganAndStartsAgainEveryTwentyFiveSeconds) {
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow());
    const std::size_t whole = resources::kTickerText.size();
    ASSERT_EQ(whole, 248u);

    // Watch until a caption is shorter than the one before it: the start of a new cycle.
    const std::vector<Sample> samples = Watch(30000, [](const std::vector<Sample>& s) {
        return s.size() >= 2 && s.back().caption.size() < s[s.size() - 2].caption.size();
    });
    ASSERT_NO_FATAL_FAILURE(ExpectPrefixesOfTheSlogan(samples));
    ASSERT_GE(samples.size(), 2u);
    const Sample& before = samples[samples.size() - 2];
    const Sample& after = samples.back();
    ASSERT_LT(after.caption.size(), before.caption.size())
        << "the ticker did not start again within 30 seconds";
    EXPECT_EQ(before.caption.size(), whole) << "the slogan should stand whole before it starts again";
    EXPECT_LE(after.caption.size(), 4u) << "a new cycle starts with one byte";

    // From the restart on, one byte every 100 ms. Watched over three seconds the caption must not have
    // grown faster than that; a busy machine can only delay timer messages, hence more room on the
    // slow side (a period of 200 ms still fails).
    const ULONGLONG restart = after.at;
    const std::size_t startBytes = after.caption.size();
    const std::vector<Sample> next = Watch(3000, [](const std::vector<Sample>&) { return false; });
    ASSERT_NO_FATAL_FAILURE(ExpectPrefixesOfTheSlogan(next));
    ASSERT_FALSE(next.empty());
    const Sample& last = next.back();
    ASSERT_GT(last.caption.size(), startBytes + 10) << "the new cycle did not grow";
    const double perByte =
        static_cast<double>(last.at - restart) / static_cast<double>(last.caption.size() - startBytes);
    EXPECT_GE(perByte, 90.0) << "milliseconds per byte";
    EXPECT_LE(perByte, 150.0) << "milliseconds per byte";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

}  // namespace
}  // namespace corvane::testing
