// Printed reports from the command line: the lists of a material table or a project laid out
// on pages and written as PDF, with the desktop program's page layout and fonts.
#include "base/error.h"
#include "base/version.h"
#include "cli/commands.h"
#include "cli/jsoninput.h"
#include "cli/projectaccess.h"
#include "constructions/material.h"
#include "constructions/panel.h"
#include "reports/columnlayout.h"
#include "reports/reportlayout.h"
#include "shell/reportsources.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/projectdata.h"

#ifdef KALYDOR_WITH_QT
#include "gui/materialcurves.h"
#include "gui/reportpdf.h"
#include "language/languages.h"

#include <QApplication>
#endif

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;
using ordered_json = nlohmann::ordered_json;

struct ReportArguments {
    std::vector<std::string> positional;
    std::string kind;
    std::vector<std::string> items;
    std::string parts = "table";
    std::string title;
    int firstPage = 1;
    bool numberPages = true;
    bool fileName = true;
    bool date = true;
    bool projectData = true;
    std::string pages;
    std::string language = "English";
};

std::vector<std::string> splitParts(const std::string& list) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

ReportArguments parseArguments(const std::vector<std::string>& args) {
    ReportArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 == args.size())
                throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--kind") {
            parsed.kind = value();
        } else if (a == "--item") {
            parsed.items.push_back(value());
        } else if (a == "--parts") {
            parsed.parts = value();
        } else if (a == "--title") {
            parsed.title = value();
        } else if (a == "--first-page") {
            const std::optional<int> number = firstPageNumber(value());
            if (!number)
                throw UsageError{"--first-page needs a page number from 1 to 99999"};
            parsed.firstPage = *number;
        } else if (a == "--no-page-numbers") {
            parsed.numberPages = false;
        } else if (a == "--no-file-name") {
            parsed.fileName = false;
        } else if (a == "--no-date") {
            parsed.date = false;
        } else if (a == "--no-project-data") {
            parsed.projectData = false;
        } else if (a == "--pages") {
            parsed.pages = value();
        } else if (a == "--lang") {
            parsed.language = value();
        } else if (a.starts_with("--")) {
            throw UsageError{"unknown option " + a};
        } else {
            parsed.positional.push_back(a);
        }
    }
    if (parsed.positional.size() != 2)
        throw UsageError{"a table or project and the PDF file to write expected"};
    if (parsed.kind != "materials" && parsed.kind != "constructions")
        throw UsageError{"--kind materials or constructions"};
    for (const std::string& part : splitParts(parsed.parts)) {
        if (part != "table" && part != "sheets" && part != "layers" && part != "messages")
            throw UsageError{"--parts takes sheets, table, layers and messages, not \"" + part +
                             "\""};
        if ((part == "layers" || part == "messages") && parsed.kind != "constructions")
            throw UsageError{"--parts " + part + ": only constructions have it"};
    }
    return parsed;
}

// The items of one kind in tree order (group path, then name), or those named by
// "\"-separated paths ("group\name", or a group for all below it); an unknown path is an
// error. Items that cannot be read are named in `skipped`.
template <class Item>
std::vector<std::unique_ptr<Item>>
loadItems(ItemStore& store, std::int16_t type, std::int16_t groupType,
          const std::vector<std::string>& paths, std::vector<std::string>& skipped) {
    std::map<std::string, Reference> ordered;
    for (const Reference& record : store.ListRecords(type))
        ordered.emplace(store.PathOfGroup(groupType, record.RefID, '\\') + record.Name, record);
    std::set<std::string> chosen;
    for (const std::string& path : paths) {
        bool found = ordered.count(path) != 0;
        if (found)
            chosen.insert(path);
        for (const auto& [itemPath, record] : ordered) {
            if (itemPath.rfind(path + "\\", 0) == 0) {
                chosen.insert(itemPath);
                found = true;
            }
        }
        if (!found)
            throw Error("IDS_RECORDGONE", {path}, "The record \"%s\" no longer exists.");
    }
    std::vector<Reference> records;
    for (const auto& [path, record] : ordered)
        if (paths.empty() || chosen.count(path) != 0)
            records.push_back(record);
    return loadReportItems<Item>(store, records, skipped);
}

int pdf(const std::vector<std::string>& args, std::ostream& out) {
    const ReportArguments arguments = parseArguments(args);
#ifdef KALYDOR_WITH_QT
    const LanguageScope language(arguments.language);
    const std::string& source = arguments.positional[0];
    const fs::path path(source);
    std::unique_ptr<ItemStore> store;
    std::vector<std::string> skipped;
    std::vector<ReportSource> sources;
    ColumnLayout layout;
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<std::unique_ptr<Panel>> panels;
    std::vector<const DBItem*> items;
    if (arguments.kind == "materials") {
        store = std::make_unique<ItemStore>(
            path.has_parent_path() ? path.parent_path().string() : ".", path.filename().string(),
            TableMode::ReadOnly, TableKind::Catalogue);
        materials = loadItems<Material>(*store, RecordType::Material, RecordType::MaterialGroup,
                                        arguments.items, skipped);
        layout =
            loadColumnLayout("MaterialItemsTitle", textLookup(), nullptr, "MaterialTableReport");
        for (const auto& material : materials)
            items.push_back(material.get());
    } else {
        store = openCurrentProject(source, false);
        panels = loadItems<Panel>(*store, RecordType::Panel, RecordType::PanelGroup,
                                  arguments.items, skipped);
        layout = loadColumnLayout("PanelItemsTitle", textLookup(), nullptr, "PanelTableReport");
        for (const auto& panel : panels)
            items.push_back(panel.get());
    }
    const std::vector<std::string> parts = splitParts(arguments.parts);
    PrintOptions options;
    options.font = {"DejaVu Serif", 10};
    options.colorPrinting = true;
    // The sheets first, each item's after the one before, then the list.
    if (std::find(parts.begin(), parts.end(), "sheets") != parts.end() &&
        arguments.kind == "materials") {
        const Languages& languages = language.languages();
        for (const auto& material : materials) {
            ReportSource sheet = materialSheetSource(*material, languages);
            if (material->hasPrintedChart())
                sheet.blocks.push_back(
                    gui::materialChartBlock(*material, languages, options.colorPrinting));
            sources.push_back(std::move(sheet));
        }
    }
    const auto has = [&](const char* part) {
        return std::find(parts.begin(), parts.end(), part) != parts.end();
    };
    if (has("sheets") && arguments.kind == "constructions") {
        PanelSettings settings;
        settings.outsideDesignTemperature = loadOptions(*store, source).Heating.OutSideTemp;
        const ColumnLayout layers =
            loadColumnLayout("PanelLayersTitle", textLookup(), nullptr, "LayerTableReport");
        for (const auto& panel : panels)
            sources.push_back(constructionSheetSource(*panel, language.languages(), settings,
                                                      has("layers") ? &layers : nullptr,
                                                      has("messages")));
    }
    if (std::find(parts.begin(), parts.end(), "table") != parts.end())
        sources.push_back(listTableSource(arguments.kind, layout, items));

    PrintChoices choices;
    choices.title = arguments.title;
    choices.numberPages = arguments.numberPages;
    choices.firstPageNumber = arguments.firstPage;
    if (arguments.fileName)
        choices.fileName = fs::absolute(path).string();
    if (arguments.date)
        choices.date = printedDate();
    choices.signature = "Kalydor " + std::string(programVersion());
    if (arguments.kind != "materials" && arguments.projectData) {
        ProjectData data;
        if (data.LoadFromProject(*store))
            choices.projectData = projectDataRtf(data, language.languages());
    }

    // Fonts and PDF pages need a running Qt, without a screen.
    std::unique_ptr<QApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "kalydor-cli";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QApplication>(argc, argv);
    }
    const gui::PdfPrintout printout =
        gui::writeReportPdf(arguments.positional[1], sources, options, choices, arguments.pages);
    ordered_json output;
    output["File"] = arguments.positional[1];
    output["Pages"] = printout.pages;
    output["Printed"] = printout.printed;
    output["Skipped"] = skipped;
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return skipped.empty() ? 0 : 1;
#else
    (void)out;
    throw std::runtime_error("this kalydor-cli was built without Qt: it prints nothing");
#endif
}

} // namespace

std::vector<Command> reportCommands() {
    return {
        {"report", "pdf",
         "TABLE|PROJECT OUT.pdf --kind materials|constructions [--parts LIST] [--item PATH]... "
         "[--title T] [--first-page N] [--no-page-numbers] [--no-project-data] [--no-file-name] "
         "[--no-date] "
         "[--pages LIST] [--lang ID]",
         "lay out a material table (materials) or a project's constructions on A4 pages and "
         "write them as PDF; LIST of sheets, table (the default) and, for constructions, layers "
         "and messages inside each sheet; prints File, Pages, Printed and the items that could "
         "not be read (Skipped, exit 1)",
         pdf},
    };
}

} // namespace kalydor::cli
