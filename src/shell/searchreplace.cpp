#include "shell/searchreplace.h"

#include "base/error.h"
#include "base/textencoding.h"

namespace kalydor {
namespace {

std::u32string codePoints(std::string_view utf8) {
    std::u32string out;
    std::size_t pos = 0;
    while (pos < utf8.size())
        out += nextCodePoint(utf8, pos);
    return out;
}

std::string utf8Of(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text)
        appendUtf8(out, c);
    return out;
}

// Upper case for the letters of the languages the program speaks: ASCII, Latin-1 and Latin
// Extended-A (the Hungarian, Romanian and other Central European letters), and the Romanian
// comma-below letters.
char32_t upper(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    if (c >= 0x100 && c <= 0x17F && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Pairs are upper/lower at even/odd code points, except 0x139-0x148 and 0x179-0x17E
        // where the upper-case letter is odd.
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
        return isLower ? c - 1 : c;
    }
    if (c == 0x219 || c == 0x21B)
        return c - 1;
    return c;
}

char32_t fold(char32_t c) {
    switch (c = upper(c)) {
    case U'Á':
        return U'A';
    case U'É':
        return U'E';
    case U'Í':
        return U'I';
    case U'Ó':
    case U'Ö':
    case U'Ő':
        return U'O';
    case U'Ú':
    case U'Ü':
    case U'Ű':
        return U'U';
    default:
        return c;
    }
}

using Token = SearchPattern::Token;

// Matches tokens[t...] against name[at...]; the wildcards' texts are recorded on success.
bool matchFrom(const std::vector<Token>& tokens, std::size_t t, const std::u32string& folded,
               const std::u32string& name, std::size_t at, SearchPattern::Match& match) {
    if (t == tokens.size())
        return at == name.size();
    const Token& token = tokens[t];
    switch (token.kind) {
    case Token::Kind::Literal:
        if (folded.compare(at, token.text.size(), token.text) != 0)
            return false;
        return matchFrom(tokens, t + 1, folded, name, at + token.text.size(), match);
    case Token::Kind::One:
        if (at >= name.size())
            return false;
        match.ones.push_back(name.substr(at, 1));
        if (matchFrom(tokens, t + 1, folded, name, at + 1, match))
            return true;
        match.ones.pop_back();
        return false;
    case Token::Kind::Many:
        // One character first, widened one at a time while the rest does not fit; a last
        // "*" takes everything that is left.
        for (std::size_t length = t + 1 == tokens.size() ? name.size() - at : 1;
             at + length <= name.size() && length >= 1; ++length) {
            match.manys.push_back(name.substr(at, length));
            if (matchFrom(tokens, t + 1, folded, name, at + length, match))
                return true;
            match.manys.pop_back();
        }
        return false;
    }
    return false;
}

} // namespace

std::u32string searchFold(std::u32string text) {
    for (char32_t& c : text)
        c = fold(c);
    return text;
}

SearchPattern::SearchPattern(std::string_view pattern) {
    for (const char32_t c : codePoints(pattern)) {
        if (c == U'?' || c == U'*') {
            if (m_tokens.size() == kMaxTokens)
                break;
            m_tokens.push_back({c == U'?' ? Token::Kind::One : Token::Kind::Many, {}});
            continue;
        }
        if (m_tokens.empty() || m_tokens.back().kind != Token::Kind::Literal) {
            if (m_tokens.size() == kMaxTokens)
                break;
            m_tokens.push_back({Token::Kind::Literal, {}});
        }
        m_tokens.back().text += c;
    }
}

bool SearchPattern::matches(std::string_view name, bool exactCase, Match* match) const {
    std::vector<Token> tokens = m_tokens;
    const std::u32string written = codePoints(name);
    std::u32string compared = written;
    if (!exactCase) {
        compared = searchFold(compared);
        for (Token& token : tokens)
            token.text = searchFold(token.text);
    }
    Match found;
    if (!matchFrom(tokens, 0, compared, written, 0, found))
        return false;
    if (match)
        *match = std::move(found);
    return true;
}

std::string SearchPattern::replacement(std::string_view replacementPattern, const Match& match) {
    const SearchPattern pattern(replacementPattern);
    std::u32string out;
    std::size_t ones = 0;
    std::size_t manys = 0;
    for (const Token& token : pattern.tokens()) {
        switch (token.kind) {
        case Token::Kind::Literal:
            out += token.text;
            break;
        case Token::Kind::One:
            if (ones == match.ones.size())
                throw Error("IDS_SEARCHANDREPLACEERROR", {},
                            "The replacement has a wildcard that the search does not have.");
            out += match.ones[ones++];
            break;
        case Token::Kind::Many:
            if (manys == match.manys.size())
                throw Error("IDS_SEARCHANDREPLACEERROR", {},
                            "The replacement has a wildcard that the search does not have.");
            out += match.manys[manys++];
            break;
        }
    }
    return utf8Of(out);
}

} // namespace kalydor
