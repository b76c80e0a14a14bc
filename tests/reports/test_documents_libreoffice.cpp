// Writes a spreadsheet (BIFF2, as the clipboard's "Biff" form) and a rich-text document (a
// room prologue, a table header and rows) built by the document builder, for a check with a
// real reader: scripts/check-documents-libreoffice converts them with LibreOffice and
// compares the text it reads.
//
//   documents_libreoffice_samples OUTPUT_DIR
//
// writes OUTPUT_DIR/sheet.xls, the same cells as the clipboard's HTML table in
// OUTPUT_DIR/sheet.html, and OUTPUT_DIR/room.rtf.

#include "language/languages.h"
#include "reports/clipboarddocument.h"

#include <fstream>
#include <iostream>

using namespace kalydor;

namespace {

Languages romanian() {
    Language language;
    language.id = "Român";
    language.userInterface = true;
    language.strings = {
        {"IDS_RTFEND", "}"},
        {"IDS_ROOMLINE", "\\pard\\plain\\s31\\sb180\\b\\f5\\fs24 %s\\par\r\n"},
        {"IDS_AREALINE", "\\pard\\plain\\s32\\f4\\fs20 Suprafață:\\tab %.2f m{\\super 2}\\par\r\n"},
        {"CID_STYLETITLE", "Titlu element"},
        {"CID_STYLEPROPERTY", "Proprietate"},
        {"CID_STYLETABLECAPTION", "Titlu de tabel"},
        {"CID_STYLETABLEHEADER", "Antet de tabel"},
        {"CID_STYLETABLECELL", "Celulă de tabel"},
        {"CID_STYLEMESSAGE", "Mesaj"},
        {"CID_ROOMTABLE", "Încăperile clădirii"},
        {"CID_ROOMNAME", "Încăpere"},
        {"CID_ROOMFUNCTION", "Destinație"},
        {"CID_ROOMAREA", "Suprafață"},
        {"CID_ROOMVOLUME", "Volum"},
        {"CID_ROOMHEATINGPOWER", "Necesar de căldură"},
    };
    Languages languages;
    languages.addLanguage(std::move(language));
    languages.SelectInterfaceLanguage("Român");
    return languages;
}

struct Room {
    const char* name;
    const char* function;
    double area;
    double volume;
    double power;
};

const Room kRooms[] = {
    {"Cameră de zi", "Living {mare}", 24.5, 66.15, 1830},
    {"Baie \\ duș", "Băi și grupuri sanitare", 6.25, 16.875, 612},
};

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: documents_libreoffice_samples OUTPUT_DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    const Languages languages = romanian();
    ClipboardDocument document(languages);

    document.WriteItemRtfHeader("RoomRTFHeader");
    document.rtf().PrintfKeyText("IDS_ROOMLINE", "Clădire {A} — Ω 𝄞");
    document.rtf().PrintfKeyReal("IDS_AREALINE", 30.75);
    document.WriteRtfHeader("RoomTable");

    BiffWriter& sheet = document.sheet();
    sheet.BeginSheet();
    for (const char* title :
         {"Încăpere", "Destinație", "Suprafață [m²]", "Volum [m³]", "Necesar de căldură [W]"})
        sheet.TextCell(title);
    sheet.NewRow();
    for (const Room& room : kRooms) {
        const int boundaries[] = {0, 3026, 6026, 7626, 9226, 10826};
        document.rtf().Write("\\trowd\\trgaph57\\trleft0");
        for (int i = 1; i < 6; ++i)
            document.CellBoundary(boundaries[i]);
        document.rtf().Write("\r\n");
        document.Cell("\\ql " + escapeRtfSpecials(room.name));
        document.Cell("\\ql " + escapeRtfSpecials(room.function));
        document.Cell("\\qr " + std::to_string(room.area).substr(0, 5));
        document.Cell("\\qr " + std::to_string(room.volume).substr(0, 6));
        document.Cell("\\qr " + std::to_string(int(room.power)));
        document.EndRow();

        sheet.TextCell(room.name);
        sheet.TextCell(room.function);
        sheet.NumberCell(room.area);
        sheet.NumberCell(room.volume);
        // A room without a computed heating load leaves its power cell empty.
        sheet.NumberCellIf(room.power, room.power > 700);
        sheet.NewRow();
    }
    document.rtf().Write("\\pard\\plain\\f4\\fs20 Sfârșit\\par\r\n");
    document.FinishDocument();

    if (!writeFile(dir + "/sheet.xls", sheet.bytes()) ||
        !writeFile(dir + "/sheet.html", htmlTableOfCells(sheet.cells())) ||
        !writeFile(dir + "/room.rtf", document.rtf().text())) {
        std::cerr << "cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
