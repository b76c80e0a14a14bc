#pragma once

#include "devicedb/deviceitem.h"

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalydor {

/// The codes an estimating program's link file already knows: the text before the first ";"
/// of every line whose first ";" is not its first character. Lines end with CR LF, LF or CR.
/// Codes are compared exactly as written.
std::set<std::string> knownEstimateCodes(std::string_view linkFileText);

/// Gathers the estimate codes of device items that the link file does not know yet: a code
/// is taken with the name of the first size or line offering it, unless it is empty, begins
/// with "@" (a piece list, expanded in the bill of materials) or is known.
class EstimateCodeCollection final : public EstimateCodeCollector {
public:
    explicit EstimateCodeCollection(std::set<std::string> known)
        : m_known(std::move(known)) {}

    /// Families with more sizes than this are passed over: such a family is a price list
    /// rather than a catalogue and would flood the estimating program.
    static constexpr std::size_t kMaxSizesOfAFamily = 1000;
    /// Offers the codes of an item (a family with too many sizes offers none).
    void collect(const DeviceItem& item);

    void offer(const std::string& code, const std::string& name) override;
    /// The new codes and names in the order they were first offered.
    const std::vector<std::pair<std::string, std::string>>& pairs() const { return m_pairs; }

private:
    std::set<std::string> m_known;
    std::vector<std::pair<std::string, std::string>> m_pairs;
};

/// The link file with the pairs appended as lines "code;" TAB "name". The bytes already there
/// are kept as they are; a last line without its break gets one first. New lines end as the
/// file's lines do (CR LF unless the file uses bare LF) and are written in the file's
/// encoding: UTF-8, or Windows-1250 for a file that is not UTF-8 (a character it cannot hold
/// becomes "?").
std::string appendEstimateCodes(std::string_view linkFileBytes,
                                const std::vector<std::pair<std::string, std::string>>& pairs);

/// Reads a link file, appends the pairs and writes it back through a temporary file, so a
/// failure leaves the file as it was. Returns the number of lines appended.
std::size_t
appendEstimateCodesToFile(const std::string& linkFile,
                          const std::vector<std::pair<std::string, std::string>>& pairs);

/// The known codes of a link file on disk ("IDS_FILEREADERROR" when it cannot be read).
std::set<std::string> readKnownEstimateCodes(const std::string& linkFile);

} // namespace kalydor
