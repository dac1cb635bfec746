// 注册表类: registry access by key path ("ROOT\sub\key"), in nineteen operations over the ANSI API.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/text.h"
#include "print/registry_api.h"

namespace corvane {

class Toolkit;

using Bytes = std::string;

enum RegType : std::int32_t {
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

class 注册表类 {
  public:
    注册表类(RegistryApi& api, Toolkit& ui) : api_(api), ui_(ui) {}
    注册表类(const 注册表类&) = delete;
    注册表类& operator=(const 注册表类&) = delete;

    RegKey OpenKey(const Text& keyPath, bool create = false);
    bool Exists(const Text& keyPath, const std::optional<Text>& valueName = std::nullopt);
    bool FlushKey(const Text& keyPath);
    Text ReadText(const Text& keyPath, const Text& valueName);
    std::int32_t ReadNumber(const Text& keyPath, const Text& valueName);
    Bytes ReadBytes(const Text& keyPath, const Text& valueName, std::int32_t* type = nullptr);
    bool WriteText(const Text& keyPath, const Text& valueName, const Text& text);
    bool WriteMultiText(const Text& keyPath, const Text& valueName, const Text& text);
    bool WriteExpandText(const Text& keyPath, const Text& valueName, const Text& text);
    bool WriteBytes(const Text& keyPath, const Text& valueName, const Bytes& bytes);
    bool WriteNumber(const Text& keyPath, const Text& valueName, std::int32_t number);
    bool WriteValue(const Text& keyPath, const Text& valueName, const Bytes& bytes, std::int32_t type = 0);
    bool DeleteValue(const Text& keyPath, const Text& valueName);
    bool DeleteKey(const Text& keyPath);
    int ListSubKeys(const Text& keyPath, std::vector<Text>& names);
    int ListValues(const Text& keyPath, std::vector<Text>& names, std::vector<Bytes>* data = nullptr,
                   std::vector<std::int32_t>* types = nullptr);
    bool SaveKey(const Text& keyPath, const Text& fileName);
    bool RestoreKey(const Text& keyPath, const Text& fileName);
    bool WatchKey(const Text& keyPath);

  private:
    RegistryApi& api_;
    Toolkit& ui_;
};

}  // namespace corvane
