#pragma once

#include "base/textlookup.h"

#include <initializer_list>
#include <map>
#include <string>

namespace kalydor::test {

/// A language table of a few texts, installed for the lifetime of the object.
class FakeLanguage final : public TextLookup {
public:
    FakeLanguage(std::initializer_list<std::pair<const std::string, std::string>> texts)
        : m_texts(texts) {
        setTextLookup(this);
    }
    ~FakeLanguage() override { setTextLookup(nullptr); }
    FakeLanguage(const FakeLanguage&) = delete;
    FakeLanguage& operator=(const FakeLanguage&) = delete;

    std::string getText(std::string_view key) const override {
        const auto it = m_texts.find(key);
        return it == m_texts.end() ? std::string() : it->second;
    }

private:
    std::map<std::string, std::string, std::less<>> m_texts;
};

} // namespace kalydor::test
