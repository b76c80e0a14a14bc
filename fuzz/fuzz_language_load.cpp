// Arbitrary bytes as a language file: the loader must read as far as the document lets it
// without a crash, an overlong read or a hang, and what it loaded must then serve lookups,
// placeholder expansion and window translation safely.
//
// The first byte picks the file form: even is a plain ".xml" document, odd a compressed file
// that is expanded first (most such inputs are refused by the decoder, which is the point).
//
//   build/fuzz/bin/fuzz_language_load tests/data/fuzz/language_load

#include "codecs/compressing.h"
#include "codecs/xmlreader.h"
#include "language/languageloader.h"
#include "language/languages.h"
#include "language/translatablewindow.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

using namespace kalydor;

namespace {

// Answers for every control name, so every form item the document names gets applied.
class AnyControl final : public TranslatableControl {
public:
    void setCaption(const std::string& text) override { touched += text.size(); }
    void setHint(const std::string& text) override { touched += text.size(); }
    void setText(const std::string& text) override { touched += text.size(); }
    void setFilter(const std::string& text) override { touched += text.size(); }
    void setTitle(const std::string& text) override { touched += text.size(); }
    void setListItem(int index, const std::string& text) override {
        touched += text.size() + static_cast<std::size_t>(index & 1);
    }
    void setColumnCaption(int index, const std::string& text) override {
        touched += text.size() + static_cast<std::size_t>(index & 1);
    }
    void appendTitleLine(const std::string& text) override { touched += text.size(); }
    void setAxisTitle(Axis, const std::string& text) override { touched += text.size(); }

    std::size_t touched = 0;
};

class AnyWindow final : public TranslatableWindow {
public:
    explicit AnyWindow(std::string name)
        : m_name(std::move(name)) {}
    std::string windowName() const override { return m_name; }
    void setCaption(const std::string& text) override { touched += text.size(); }
    void setHint(const std::string& text) override { touched += text.size(); }
    void setHelpFile(const std::string& text) override { touched += text.size(); }
    TranslatableControl* control(const std::string& name) override {
        auto& slot = m_controls[name];
        if (!slot)
            slot = std::make_unique<AnyControl>();
        return slot.get();
    }

    std::size_t touched = 0;

private:
    std::string m_name;
    std::map<std::string, std::unique_ptr<AnyControl>> m_controls;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool compressed = (data[0] & 1) != 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (compressed) {
        try {
            bytes = Compressing::Decode(bytes, 1u << 20);
        } catch (const std::exception&) {
            return 0; // the loader skips a file it cannot expand
        }
    }

    XmlReader parser;
    if (!parser.LoadFromBuffer(bytes, "languages/fuzz.xml"))
        return 0;
    Languages languages;
    languages.addLanguage(parser);
    const Language& language = languages.languages().front();

    // The loaded language is both the interface and the printing language, whatever its flag.
    languages.SelectInterfaceLanguage(language.id);
    languages.SelectPrintingLanguage(language.id);
    std::size_t touched = languages.InterfaceLanguageId().size();

    for (const auto& [key, text] : language.strings) {
        if (languages.GetText(key) != text && language.userInterface)
            std::abort(); // a loaded key must be found again
        touched += languages.ExpandPlaceholders(text).size();
        touched += languages.ExpandPlaceholders("#" + key + "#\\#" + key).size();
    }
    touched += languages.ExpandPlaceholders(bytes).size();

    for (const LanguageForm& form : language.forms) {
        AnyWindow window(form.name);
        languages.TranslateForm(window);
        languages.TranslateFormForPrinting(window);
        touched += window.touched;
    }
    for (const LanguageTitle& title : language.titles) {
        if (title.codes.size() != title.texts.size())
            std::abort(); // every column code has its caption
    }
    if (touched == static_cast<std::size_t>(-1))
        std::abort();
    return 0;
}
