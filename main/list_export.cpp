// SPDX-License-Identifier: MIT
#include "main/list_export.h"

#include <QFileInfo>
#include <QSaveFile>
#include <array>

#include "discovery/error.h"
#include "tools/report.h"

namespace nimbrel {

namespace {

// The header line and the order of the fields: those of the JSON report's devices.
constexpr std::array<const char*, 8> CsvFields = {
    "model", "ipv4", "mac", "firmware", "copy_text", "source", "interface", "interface_hex"};

// RFC 4180 quoting; a few lines, so no library is taken for it.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    return quoted + '"';
}

// `text` with U+FFFD for each byte that is not part of well-formed UTF-8, as the JSON report
// writes it: the library's own replacement, taken through a round trip.
std::string asUtf8(const std::string& text) {
    using Json = nlohmann::ordered_json;
    return Json::parse(Json(text).dump(-1, ' ', false, Json::error_handler_t::replace))
        .get<std::string>();
}

void appendCsvLine(std::string& out, const std::array<std::string, CsvFields.size()>& fields) {
    for (std::size_t at = 0; at < fields.size(); ++at) {
        if (at > 0) {
            out += ',';
        }
        out += csvField(fields[at]);
    }
    out += "\r\n";
}

}  // namespace

ListFormat listFormatOf(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0
               ? ListFormat::Json
               : ListFormat::Csv;
}

std::string jsonList(const SearchResult& result) {
    return tools::jsonReport(result);
}

std::string csvList(const std::vector<DeviceView>& devices) {
    std::string out;
    std::array<std::string, CsvFields.size()> fields;
    for (std::size_t at = 0; at < CsvFields.size(); ++at) {
        fields[at] = CsvFields[at];
    }
    appendCsvLine(out, fields);
    for (const DeviceView& device : devices) {
        const nlohmann::ordered_json object = tools::jsonDevice(device);
        for (std::size_t at = 0; at < CsvFields.size(); ++at) {
            const auto value = object.find(CsvFields[at]);
            fields[at] = value == object.end() || !value->is_string()
                             ? std::string()
                             : asUtf8(value->get<std::string>());
        }
        appendCsvLine(out, fields);
    }
    return out;
}

Result<> writeListFile(const QString& fileName, const std::string& contents) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(contents.data(), static_cast<qint64>(contents.size())) !=
            static_cast<qint64>(contents.size()) ||
        !file.commit()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return ownError("EWriteFailed", reason);
    }
    return {};
}

}  // namespace nimbrel
