// Printed reports from the command line: a material table's or a project's items and lists
// laid out on pages and written as PDF with the desktop program's page layout and fonts, the
// clipboard copies of rooms, buildings and the bill of materials, and the bill itself.
#include "base/error.h"
#include "base/safefilewriter.h"
#include "base/textlookup.h"
#include "base/version.h"
#include "cli/commands.h"
#include "cli/jsoninput.h"
#include "cli/projectaccess.h"
#include "constructions/material.h"
#include "constructions/panel.h"
#include "constructions/usedmaterials.h"
#include "language/languages.h"
#include "reports/biffwriter.h"
#include "reports/clipboarddocument.h"
#include "reports/columnlayout.h"
#include "reports/reportlayout.h"
#include "rooms/buildingstable.h"
#include "rooms/pasteditems.h"
#include "rooms/room.h"
#include "rooms/roomcontext.h"
#include "shell/billdevices.h"
#include "shell/printout.h"
#include "shell/programoptions.h"
#include "shell/reportsources.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/projectdata.h"

#ifdef KALYDOR_WITH_QT
#include "gui/materialcurves.h"
#include "gui/panelchart.h"
#include "gui/qtsettingsstore.h"
#include "gui/reportpdf.h"

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
    std::string parts;
    std::string title;
    int firstPage = 1;
    bool numberPages = true;
    bool fileName = true;
    bool date = true;
    bool projectData = true;
    std::string pages;
    std::string language = "English";
    std::string settings;
    std::string deviceTable;
    std::string form;
    std::string exportFile;
};

// The printing formats by the names the command line gives them.
const std::map<std::string, int> kPartNames = {
    {"sheets", printformat::kSheets},       {"table", printformat::kTable},
    {"layers", printformat::kLayers},       {"messages", printformat::kMessages},
    {"heating", printformat::kHeating},     {"boundaries", printformat::kBoundaries},
    {"radiators", printformat::kRadiators}, {"rooms", printformat::kRooms},
};

const std::map<std::string, ItemKind> kKinds = {{"materials", ItemKind::Material},
                                                {"constructions", ItemKind::Construction},
                                                {"rooms", ItemKind::Room},
                                                {"buildings", ItemKind::Building}};

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

ReportArguments parseArguments(const std::vector<std::string>& args, std::size_t positionals) {
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
        } else if (a == "--settings") {
            parsed.settings = value();
        } else if (a == "--devicedb" || a == "--device-db") {
            parsed.deviceTable = value();
        } else if (a == "--form") {
            parsed.form = value();
        } else if (a == "--export") {
            parsed.exportFile = value();
        } else if (a.starts_with("--")) {
            throw UsageError{"unknown option " + a};
        } else {
            parsed.positional.push_back(a);
        }
    }
    if (parsed.positional.size() != positionals)
        throw UsageError{positionals == 1 ? "a project expected"
                                          : "a table or project and the file to write expected"};
    return parsed;
}

// The chosen formats of a kind: the parts named (each one the kind has), else the default.
std::vector<int> formatsOf(ItemKind kind, const std::string& kindName, const std::string& parts) {
    const std::vector<int> offered = printFormatsOf(kind);
    const std::string chosen = !parts.empty()               ? parts
                               : kind == ItemKind::Building ? "sheets,heating,rooms"
                                                            : "table";
    std::vector<int> formats;
    for (const std::string& part : splitParts(chosen)) {
        const auto named = kPartNames.find(part);
        if (named == kPartNames.end() ||
            std::find(offered.begin(), offered.end(), named->second) == offered.end()) {
            std::string list;
            for (const int format : offered)
                for (const auto& [name, number] : kPartNames)
                    if (number == format)
                        list += (list.empty() ? "" : ", ") + name;
            throw UsageError{"--parts for " + kindName + " takes " + list + ", not \"" + part +
                             "\""};
        }
        formats.push_back(named->second);
    }
    return formats;
}

// The records of one kind in tree order (group path, then name), or those named by
// "\"-separated paths ("group\name", or a group for all below it); an unknown path is an
// error.
std::vector<Reference> chooseRecords(ItemStore& store, ItemKind kind,
                                     const std::vector<std::string>& paths) {
    std::map<std::string, Reference> ordered;
    for (const Reference& record : store.ListRecords(itemTypeOfKind(kind)))
        ordered.emplace(store.PathOfGroup(groupTypeOfKind(kind), record.RefID, '\\') + record.Name,
                        record);
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
    return records;
}

// An open project (or the material table) with what its items are calculated with.
struct OpenReport {
    std::unique_ptr<ItemStore> store;
    std::optional<ProjectOptions> options;
    std::unique_ptr<ProjectCalculation> calculation;
};

OpenReport openForReport(const std::string& source, bool materialTable,
                         const std::string& deviceTable) {
    OpenReport open;
    if (materialTable) {
        const fs::path path(source);
        open.store = std::make_unique<ItemStore>(
            path.has_parent_path() ? path.parent_path().string() : ".", path.filename().string(),
            TableMode::ReadOnly, TableKind::Catalogue);
        return open;
    }
    open.store = openCurrentProject(source, false);
    open.options = loadOptions(*open.store, source);
    open.calculation = std::make_unique<ProjectCalculation>(*open.options, deviceTable);
    return open;
}

// The bill of the project: every room's radiators, expanded through the device table.
struct OpenBill {
    std::unique_ptr<DeviceTableBillDevices> devices;
    std::unique_ptr<UsedMaterials> bill;
};

OpenBill buildBill(OpenReport& open) {
    OpenBill made;
    made.devices = std::make_unique<DeviceTableBillDevices>(open.calculation->devices.get(),
                                                            open.calculation->families.get());
    made.bill = std::make_unique<UsedMaterials>(made.devices.get());
    made.bill->Build(*open.store);
    return made;
}

std::vector<std::size_t> everyLine(const UsedMaterials& bill) {
    std::vector<std::size_t> all(bill.lines().size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return all;
}

ordered_json warningsOf(const UsedMaterials& bill) {
    ordered_json warnings = ordered_json::array();
    for (const std::string& room : bill.unreadable())
        warnings.push_back(formatText(GetText("IDS_BILLUNREADABLE"), {room}));
    for (const std::string& list : bill.cycles())
        warnings.push_back(formatText(GetText("IDS_PIECELISTCYCLE"), {list}));
    return warnings;
}

int bom(const std::vector<std::string>& args, std::ostream& out) {
    const ReportArguments arguments = parseArguments(args, 1);
    const LanguageScope language(arguments.language);
    OpenReport open = openForReport(arguments.positional[0], false, arguments.deviceTable);
    const OpenBill made = buildBill(open);
    const UsedMaterials& bill = *made.bill;
    ordered_json lines = ordered_json::array();
    for (const UsedMaterialItem& line : bill.lines()) {
        ordered_json entry;
        entry["Type"] = line.Type;
        entry["Name"] = line.Name;
        entry["EstimateCode"] = line.EstimateCode;
        entry["Unit"] = line.Unit;
        entry["Quantity"] = line.Quantity;
        entry["GroupText"] = line.GroupText;
        lines.push_back(std::move(entry));
    }
    if (!arguments.exportFile.empty()) {
        SafeFileWriter file(arguments.exportFile);
        file.write(bill.ExportText(everyLine(bill), language.languages()));
        file.commit();
    }
    ordered_json output;
    output["Lines"] = std::move(lines);
    output["Warnings"] = warningsOf(bill);
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return bill.unreadable().empty() && bill.cycles().empty() ? 0 : 1;
}

int copy(const std::vector<std::string>& args, std::ostream& out) {
    const ReportArguments arguments = parseArguments(args, 2);
    static const std::set<std::string> forms = {"text", "rtf", "biff", "html"};
    if (forms.count(arguments.form) == 0)
        throw UsageError{"--form text, rtf, biff or html"};
    const LanguageScope language(arguments.language);
    OpenReport open = openForReport(arguments.positional[0], false, arguments.deviceTable);
    ClipboardDocument document(language.languages());
    std::vector<std::string> skipped;
    if (arguments.kind == "bom") {
        const OpenBill made = buildBill(open);
        made.bill->WriteCopy(document, everyLine(*made.bill));
        skipped = made.bill->unreadable();
    } else if (arguments.kind == "rooms" || arguments.kind == "buildings") {
        if (arguments.items.size() != 1)
            throw UsageError{"--item names the one room or building to copy"};
        const ItemKind kind = kKinds.at(arguments.kind);
        const std::vector<Reference> records = chooseRecords(*open.store, kind, arguments.items);
        const BuildingsTable buildings = BuildingsTable::load(*open.store);
        RoomContext context;
        ItemStore* project = open.store.get();
        context.project = [project] { return project; };
        const RoomSettings settings = open.calculation->settings;
        context.settings = [settings]() -> std::optional<RoomSettings> { return settings; };
        for (const Reference& record : records) {
            bool loaded = false;
            const std::unique_ptr<DBItem> item =
                LoadReferencedItem(*open.store, kind, record, loaded);
            if (!item || !loaded) {
                skipped.push_back(record.Name);
                continue;
            }
            nameLinksForCopy(buildings, *item);
            item->CopyTo(document, context, ClipboardCopy::WithReport);
        }
    } else {
        throw UsageError{"--kind rooms, buildings or bom"};
    }
    document.FinishDocument();
    std::string bytes;
    if (arguments.form == "text")
        bytes = document.text().text();
    else if (arguments.form == "rtf")
        bytes = document.rtf().text();
    else if (arguments.form == "biff")
        bytes = document.sheet().bytes();
    else
        bytes = htmlTableOfCells(document.sheet().cells());
    SafeFileWriter file(arguments.positional[1]);
    file.write(bytes);
    file.commit();
    ordered_json output;
    output["File"] = arguments.positional[1];
    output["Bytes"] = bytes.size();
    output["Skipped"] = skipped;
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return skipped.empty() ? 0 : 1;
}

int pdf(const std::vector<std::string>& args, std::ostream& out) {
    const ReportArguments arguments = parseArguments(args, 2);
    const bool bill = arguments.kind == "bom";
    if (!bill && kKinds.count(arguments.kind) == 0)
        throw UsageError{"--kind materials, constructions, rooms, buildings or bom"};
    const ItemKind kind = bill ? ItemKind::Room : kKinds.at(arguments.kind);
    const std::vector<int> formats =
        bill ? std::vector<int>{} : formatsOf(kind, arguments.kind, arguments.parts);
#ifdef KALYDOR_WITH_QT
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
    const LanguageScope language(arguments.language);
    const Languages& languages = language.languages();
    const std::string& source = arguments.positional[0];
    OpenReport open = openForReport(source, kind == ItemKind::Material, arguments.deviceTable);

    // The page and the printed tables as the program's settings have them, when given.
    std::unique_ptr<gui::QtSettingsStore> settings;
    PrintOptions options;
    options.font = {"DejaVu Serif", 10};
    options.colorPrinting = true;
    DiagramAxis axis = DiagramAxis::Temperature;
    if (!arguments.settings.empty()) {
        if (!fs::is_regular_file(arguments.settings))
            throw std::runtime_error(arguments.settings + ": no such settings file");
        settings =
            std::make_unique<gui::QtSettingsStore>(QString::fromStdString(arguments.settings));
        Languages unused;
        const ProgramOptions program(*settings, unused);
        options = printOptionsOf(program);
        axis = program.XIsDistance ? DiagramAxis::Distance : DiagramAxis::Temperature;
        if (options.font.name.empty())
            options.font.name = "DejaVu Serif";
        gui::loadLogo(program.FirmaHeaderLogoName, options);
    }

    std::vector<ReportSource> sources;
    std::vector<std::string> skipped;
    std::optional<OpenBill> made;
    if (bill) {
        made = buildBill(open);
        sources.push_back(
            billTableSource(*made->bill, everyLine(*made->bill),
                            loadColumnLayout("UsedMaterialsTableTitle", languages, settings.get(),
                                             "UsedMaterialsTableReport")));
        skipped = made->bill->unreadable();
    } else {
        PrintoutRequest request;
        request.kind = kind;
        request.records = chooseRecords(*open.store, kind, arguments.items);
        request.formats = formats;
        request.layouts = settings.get();
        if (open.calculation) {
            request.panelSettings.outsideDesignTemperature = open.options->Heating.OutSideTemp;
            request.roomSettings = open.calculation->settings;
            request.families = open.calculation->families.get();
        }
        const bool color = options.colorPrinting;
        request.materialChart = [&languages, color](const Material& material) {
            return std::optional<ReportBlock>(gui::materialChartBlock(material, languages, color));
        };
        request.panelDiagram = [&languages, axis, color](const Panel& panel) {
            return gui::panelDiagramBlock(panel, axis, languages, color);
        };
        Printout printout = buildPrintout(*open.store, request, languages);
        sources = std::move(printout.sources);
        skipped = std::move(printout.skipped);
    }

    PrintChoices choices;
    choices.title = arguments.title;
    choices.numberPages = arguments.numberPages;
    choices.firstPageNumber = arguments.firstPage;
    if (arguments.fileName)
        choices.fileName = fs::absolute(fs::path(source)).string();
    if (arguments.date)
        choices.date = printedDate();
    choices.signature = "Kalydor " + std::string(programVersion());
    if (kind != ItemKind::Material && arguments.projectData) {
        ProjectData data;
        if (data.LoadFromProject(*open.store))
            choices.projectData = projectDataRtf(data, languages);
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
    (void)formats;
    throw std::runtime_error("this kalydor-cli was built without Qt: it prints nothing");
#endif
}

} // namespace

std::vector<Command> reportCommands() {
    return {
        {"report", "pdf",
         "TABLE|PROJECT OUT.pdf --kind materials|constructions|rooms|buildings|bom "
         "[--parts LIST] [--item PATH]... [--title T] [--first-page N] [--no-page-numbers] "
         "[--no-project-data] [--no-file-name] [--no-date] [--pages LIST] [--lang ID] "
         "[--settings FILE.ini] [--devicedb FILE]",
         "lay out a material table (materials), a project's items or its bill of materials "
         "(bom) on pages and write them as PDF; LIST of sheets and table (the default) and, "
         "inside each sheet, layers and messages (constructions), heating, boundaries and "
         "radiators (rooms); buildings take sheets, heating and rooms (the default all three); "
         "--settings takes the page, firm header and table layouts from a program settings "
         "file; prints File, Pages, Printed and the items that could not be read (Skipped, "
         "exit 1)",
         pdf},
        {"report", "copy",
         "PROJECT OUT --kind rooms|buildings|bom [--item PATH] --form text|rtf|biff|html "
         "[--lang ID] [--devicedb FILE]",
         "write what copying a room, a building (--item) or the whole bill of materials puts "
         "on the clipboard, in one form: plain text, rich text, the spreadsheet cells (BIFF) or "
         "the same cells as HTML",
         copy},
        {"report", "bom", "PROJECT [--devicedb FILE] [--export OUT.csv] [--lang ID]",
         "the project's bill of materials: the radiators of every room merged and expanded "
         "through the device table's piece lists, as JSON lines (Type, Name, EstimateCode, "
         "Unit, Quantity, GroupText) with Warnings (exit 1 when there are any); --export writes "
         "the file for a cost-estimating program (Windows-1250, CR LF)",
         bom},
    };
}

} // namespace kalydor::cli
