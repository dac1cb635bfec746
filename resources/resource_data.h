// The constant data compiled into the program: paragraph pools, constitution pages, slogan, tunes.
#pragma once

#include <string_view>

namespace corvane::resources {

// Paragraph pools, entry i at index i - 1, GBK.
extern const std::string_view kOpeningPool[37];
extern const std::string_view kBodyPool1[30];
extern const std::string_view kBodyPool2[36];
extern const std::string_view kClosingPool[25];

extern const std::string_view kGeneralProgrammeText;
extern const std::string_view kConstitutionArticlesText;
extern const std::string_view kTickerText;

// Standard MIDI Files.
extern const std::string_view kGateTune1;
extern const std::string_view kGateTune2;

// The 700 x 70 JPEG shown at the top of MainWindow.
extern const std::string_view kBannerImage;

}  // namespace corvane::resources
