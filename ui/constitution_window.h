// ConstitutionWindow, the gate before MainWindow: its definition and its three handlers.
#pragma once

#include <string_view>

#include "app/program.h"

namespace corvane {

const WindowDefinition& ConstitutionWindowDefinition();

void OnConstitutionWindowCreated(Program& program);
void AcceptConstitution(Program& program);
void DeclineConstitution(Program& program);

inline constexpr std::string_view kConstitutionWindowTitle = "                               中国共产党.党章";

}  // namespace corvane
