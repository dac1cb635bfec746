// The program-wide variables and the services that the event handlers work through.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "app/clock.h"
#include "app/text.h"
#include "app/toolkit.h"
#include "print/registry.h"
#include "print/word_components.h"

namespace corvane {

class Automation;
class FileStore;

struct Services {
    Toolkit& ui;
    Clock& clock;
    RegistryApi& registryApi;
    Automation& automation;
    FileStore& files;
};

struct Program {
    explicit Program(const Services& s)
        : services(s),
          ui(s.ui),
          word程序1(std::make_unique<WordApplicationComponent>(s.automation)),
          word文档集1(std::make_unique<WordDocumentsComponent>(s.automation)) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Services services;
    Toolkit& ui;

    // Salutation and TickerText refer to constant texts and own nothing.
    std::string_view Salutation;
    std::string_view TickerText;
    std::int32_t TickerPosition = 0;
    Text TickerShownText;
    std::unique_ptr<注册表类> Registry;

    // State of MainWindow's two automation components; it outlives each print job.
    std::unique_ptr<WordApplicationComponent> word程序1;
    std::unique_ptr<WordDocumentsComponent> word文档集1;

    Handler exitRoutine = nullptr;
    int stateReleases = 0;  // how often ReleaseProgramState has run; at most once per process
};

}  // namespace corvane
