#include "exchange/xmlexchange.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/textencoding.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "platform/prompter.h"
#include "store/dbitem.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <optional>

namespace kalydor {
namespace {

// The message of an element that could not be read: the error, the file, the tag and the
// content where reading stopped.
std::string elementErrorText(const std::string* errorText, const XmlReader& parser) {
    std::string text;
    if (errorText)
        text = *errorText + "\r\n";
    text += parser.FileName() + ": <" + quotedExcerpt(parser.CurName()) + "> " +
            quotedExcerpt(parser.CurContent());
    return text;
}

// The item is written into a memory document of the same encoding first; its bytes after
// the document's opening go into the real one when every number was finite.
bool writeItemElement(XmlWriter& writer, DBItem& item, const std::string& groupPath,
                      std::string_view before) {
    XmlWriter element({}, writer.Root(), writer.Encoding());
    const std::size_t opening = element.bytes().size();
    element.WriteRaw(before);
    const NonFiniteWatch watch;
    item.WriteXml(element, groupPath);
    if (watch.seen())
        return false;
    writer.WriteEncoded(std::string_view(element.bytes()).substr(opening));
    return true;
}

} // namespace

void WriteXmlItemHeader(XmlWriter& writer, const DBItem& item, const std::string& groupPath) {
    writer.WriteRaw("\r\n  ");
    writer.WriteElement("ItemHeader", {}, {}, ElementEnd::Open);
    writer.WriteRaw("\r\n    ");
    writer.WriteElement("ItemName", {}, item.Name);
    writer.WriteElement("ItemPath", {}, groupPath);
    writer.WriteElement("ID", {}, item.ID);
    writer.WriteRaw("\r\n  ");
    writer.WriteEndTag("ItemHeader");
}

bool ReadXmlItemHeader(XmlReader& parser, DBItem& item, std::string& groupPath) {
    std::string open;
    while (parser.Scan()) {
        switch (parser.CurPartType()) {
        case XmlPart::StartTag:
            open = parser.CurName();
            break;
        case XmlPart::EndTag:
            if (parser.CurName() == "ItemHeader")
                return true;
            open.clear();
            break;
        case XmlPart::EmptyElementTag:
            open.clear();
            break;
        case XmlPart::Content:
            if (open == "ItemPath")
                groupPath = parser.CurContent();
            else if (open == "ItemName")
                item.Name = parser.CurContent();
            break;
        case XmlPart::Other:
            break;
        }
    }
    return false;
}

bool WriteItemXml(XmlWriter& writer, DBItem& item, const std::string& groupPath) {
    return writeItemElement(writer, item, groupPath, {});
}

ExportResult ExportXml(ItemStore& store, ItemKind kind, const std::vector<Reference>& items,
                       const std::string& fileName) {
    const ExchangeKind* k = exchangeKindOf(kind);
    if (!k)
        throw Error("IDS_NOEXCHANGEFORM", {std::to_string(kindNumber(kind))},
                    "\"%s\" cannot be written in this exchange format.");
    XmlWriter writer(fileName, std::string(kExchangeXmlRoot));
    ExportResult result;
    for (const Reference& ref : items) {
        const std::string path = ExchangeGroupPath(store, k->groupType, ref.RefID);
        const std::unique_ptr<DBItem> item =
            exchange_detail::loadForExport(store, *k, ref, path, result);
        if (!item)
            continue;
        if (!writeItemElement(writer, *item, path, result.written > 0 ? "\r\n" : "")) {
            exchange_detail::leaveOutNonFinite(result, path, ref.Name);
            continue;
        }
        ++result.written;
    }
    writer.Finish();
    result.fileWritten = true;
    exchange_detail::reportLeftOut(result);
    return result;
}

ImportResult ImportXml(ItemStore& store, ItemKind kind, const std::string& fileName,
                       OverwriteAnswers& answers, const ImportOptions& options) {
    answers.clear();
    XmlReader parser;
    if (!parser.LoadFromFile(fileName)) {
        // A file that cannot be read (missing, no regular file, too large) imports nothing;
        // the user learns why.
        ImportResult result;
        result.failed = true;
        result.message =
            Error("IDS_XMLNOTLOADED", {parser.ErrorText()}, "The XML file is not imported: %s.")
                .text();
        platform::prompter().showMessage(result.message);
        return result;
    }
    return ImportXml(store, kind, parser, answers, options);
}

ImportResult ImportXml(ItemStore& store, ItemKind kind, XmlReader& parser,
                       OverwriteAnswers& answers, const ImportOptions& options) {
    answers.clear();
    ImportResult result;
    const ExchangeKind* k = exchangeKindOf(kind);
    if (!k) {
        result.failed = true;
        return result;
    }
    // One transaction for the whole import (see ImportText): when another program is
    // changing the table and does not finish in time, nothing is stored.
    std::optional<SqliteTransaction> import;
    try {
        import.emplace(store.database());
    } catch (const Error& error) {
        result.failed = true;
        result.message = error.text().empty() ? error.key() : error.text();
        platform::prompter().showMessage(result.message);
        return result;
    }
    parser.Normalize = true;
    parser.StartScan();
    while (parser.Scan()) {
        // An empty-element tag is no item; elements of another kind are not this list's
        // items and are passed over.
        if (parser.CurPartType() != XmlPart::StartTag || parser.CurName() != k->xmlElement)
            continue;
        std::unique_ptr<DBItem> item = CreateItemOfKind(kind);
        if (!item)
            break;
        std::string groupPath;
        try {
            if (!item->ReadXml(parser, groupPath))
                continue; // the document ended inside the element
            if (!normalizeImportedName(item->Name))
                throw Error("IDS_IMPORTBADNAME", {quotedExcerpt(item->Name)},
                            "The name \"%s\" is empty or too long; the item is not imported.");
            if (!normalizeImportedPath(groupPath, '\\'))
                throw badGroupPathError(groupPath);
            if (options.prepareItem)
                options.prepareItem(*item);
        } catch (const Error& error) {
            const std::string text = error.text().empty() ? error.key() : error.text();
            platform::prompter().showMessage(elementErrorText(&text, parser));
            ++result.skipped;
            continue;
        } catch (const std::exception&) {
            platform::prompter().showMessage(elementErrorText(nullptr, parser));
            ++result.skipped;
            continue;
        }
        try {
            result.count(StoreImportedItem(store, *k, *item, groupPath, answers, false));
        } catch (const std::exception& error) {
            // A storing error drops the item, named; the import goes on.
            const auto* known = dynamic_cast<const Error*>(&error);
            platform::prompter().showMessage(
                Error("IDS_IMPORTNOTSTORED",
                      {exchange_detail::itemLabel(groupPath, item->Name),
                       known && !known->text().empty() ? known->text() : std::string(error.what())},
                      "\"%s\" could not be stored: %s")
                    .text());
            ++result.skipped;
        }
    }
    exchange_detail::commitImport(import, result);
    if (result.failed) {
        platform::prompter().showMessage(result.message);
    } else if (parser.EndedOnError()) {
        result.failed = true;
        result.message =
            Error("IDS_XMLIMPORTBROKEN",
                  {parser.FileName(), std::int64_t{result.stored()}, parser.ErrorText()},
                  "The XML file %s ends in an error after %d imported items; the items "
                  "before the error were stored. %s")
                .text();
        platform::prompter().showMessage(result.message);
    }
    return result;
}

std::string BuildDragText(DBItem& item, const std::string& keyName, const std::string& slashPath,
                          const std::string& backslashPath) {
    std::string text(kDragTextSource);
    text += '\n';
    text += keyName + "=\"" + slashPath + item.Name + "\"\n";
    XmlWriter document({}, std::string(kExchangeXmlRoot));
    item.WriteXml(document, backslashPath);
    document.Finish();
    const std::string& bytes = document.bytes();
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        text += line + '\n';
        start = end + 1;
    }
    return text;
}

bool IsKalydorDragText(std::string_view text) {
    return text.substr(0, kDragTextSource.size()) == kDragTextSource;
}

} // namespace kalydor
