#include "ExportFormatTable.h"

#include "ExportFormats.h"

namespace exporter {

const std::vector<ExportFormatRow>& ExportFormatRows() {
    static const std::vector<ExportFormatRow> rows = {
        {ExportFormat::Txt, "txt", "txt", "\xe6\x96\x87\xe6\x9c\xac (TXT)", false, MakeTxtWriter,
         MakeTxtPageIndexWriter, WriteTxtIndex},
        {ExportFormat::Csv, "csv", "csv", "CSV", false, MakeCsvWriter, MakeCsvPageIndexWriter,
         WriteCsvIndex},
        {ExportFormat::Json, "json", "json", "JSON", false, MakeJsonWriter, MakeJsonPageIndexWriter,
         WriteJsonIndex},
        {ExportFormat::Html, "html", "html", "\xe7\xbd\x91\xe9\xa1\xb5 (HTML)", true,
         MakeHtmlWriter, MakeHtmlPageIndexWriter, WriteHtmlIndex},
    };
    return rows;
}

const ExportFormatRow& FormatRow(ExportFormat format) {
    for (const ExportFormatRow& row : ExportFormatRows()) {
        if (row.id == format)
            return row;
    }
    return ExportFormatRows().front();
}

const ExportFormatRow* FindFormat(std::string_view name) {
    for (const ExportFormatRow& row : ExportFormatRows()) {
        if (name == row.name)
            return &row;
    }
    return nullptr;
}

} // namespace exporter
