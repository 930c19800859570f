#pragma once

// Drives LibreOffice and Gnumeric from oracle tests and reads what they
// write: the parts of an .xlsx package, CSV files.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace orv::sheet::xls::testing {

// Runs a program and returns its exit code; output goes to `log`.
inline int runProgram(const QString &program, const QStringList &arguments, QString *log = nullptr,
                      int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (log)
        *log = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

inline QByteArray zipEntry(const QString &archive, const QString &entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, entry});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

struct XlsxCell {
    QString type; // n, s, str, b, e
    QString value;
    QString formula;
};

struct XlsxSheet {
    QMap<QString, XlsxCell> cells; // by A1 reference
    struct Column {
        int min = 0, max = 0;
        double width = 0;
        bool hidden = false;
    };
    std::vector<Column> columns;
    QMap<int, double> rowHeights; // 1-based row -> points
    QMap<int, bool> hiddenRows;
    QStringList merges;
    QString paneState;
    int xSplit = 0, ySplit = 0;
    bool showGridLines = true;
    struct Conditional {
        QString sqref;
        QStringList formulas;
        std::vector<std::pair<int, bool>> rules; // priority, stopIfTrue
    };
    std::vector<Conditional> conditionals;

    double columnWidth(int oneBased) const
    {
        for (const Column &c : columns)
            if (oneBased >= c.min && oneBased <= c.max)
                return c.width;
        return -1;
    }
};

struct XlsxBook {
    struct SheetEntry {
        QString name, state;
    };
    std::vector<SheetEntry> sheets;
    QMap<QString, QString> definedNames; // "name@localSheetId" -> text
    QStringList sharedStrings;
    std::vector<XlsxSheet> sheetData;
};

inline XlsxSheet parseSheet(const QByteArray &xml, const QStringList &strings)
{
    XlsxSheet sheet;
    QXmlStreamReader in(xml);
    QString cellRef, element;
    XlsxCell cell;
    while (!in.atEnd()) {
        in.readNext();
        if (in.isStartElement()) {
            const auto a = in.attributes();
            const QStringView name = in.name();
            if (name == QLatin1String("c")) {
                cellRef = a.value("r").toString();
                cell = {a.value("t").toString(), {}, {}};
                if (cell.type.isEmpty())
                    cell.type = QStringLiteral("n");
            } else if (name == QLatin1String("v")) {
                cell.value = in.readElementText();
            } else if (name == QLatin1String("t") && cell.type == QLatin1String("inlineStr")) {
                cell.value += in.readElementText();
            } else if (name == QLatin1String("f")) {
                cell.formula = in.readElementText();
            } else if (name == QLatin1String("col")) {
                sheet.columns.push_back({a.value("min").toInt(), a.value("max").toInt(), a.value("width").toDouble(),
                                         a.value("hidden") == QLatin1String("true") || a.value("hidden") == QLatin1String("1")});
            } else if (name == QLatin1String("row")) {
                const int r = a.value("r").toInt();
                if (a.hasAttribute("ht"))
                    sheet.rowHeights[r] = a.value("ht").toDouble();
                sheet.hiddenRows[r] = a.value("hidden") == QLatin1String("true") || a.value("hidden") == QLatin1String("1");
            } else if (name == QLatin1String("mergeCell")) {
                sheet.merges << a.value("ref").toString();
            } else if (name == QLatin1String("pane")) {
                sheet.paneState = a.value("state").toString();
                sheet.xSplit = static_cast<int>(a.value("xSplit").toDouble());
                sheet.ySplit = static_cast<int>(a.value("ySplit").toDouble());
            } else if (name == QLatin1String("sheetView")) {
                sheet.showGridLines = a.value("showGridLines") != QLatin1String("false") && a.value("showGridLines") != QLatin1String("0");
            } else if (name == QLatin1String("conditionalFormatting")) {
                sheet.conditionals.push_back({a.value("sqref").toString(), {}, {}});
            } else if (name == QLatin1String("cfRule") && !sheet.conditionals.empty()) {
                sheet.conditionals.back().rules.emplace_back(a.value("priority").toInt(),
                                                             a.value("stopIfTrue") == QLatin1String("1"));
            } else if (name == QLatin1String("formula") && !sheet.conditionals.empty()) {
                sheet.conditionals.back().formulas << in.readElementText();
            }
        } else if (in.isEndElement() && in.name() == QLatin1String("c")) {
            if (cell.type == QLatin1String("s")) {
                const int index = cell.value.toInt();
                cell.value = index >= 0 && index < strings.size() ? strings[index] : QString();
            }
            sheet.cells.insert(cellRef, cell);
        }
    }
    return sheet;
}

inline XlsxBook readXlsx(const QString &path)
{
    XlsxBook book;
    QXmlStreamReader strings(zipEntry(path, QStringLiteral("xl/sharedStrings.xml")));
    QString current;
    bool inItem = false;
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == QLatin1String("si")) {
            inItem = true;
            current.clear();
        } else if (strings.isStartElement() && strings.name() == QLatin1String("t") && inItem) {
            current += strings.readElementText();
        } else if (strings.isEndElement() && strings.name() == QLatin1String("si")) {
            book.sharedStrings << current;
            inItem = false;
        }
    }
    QXmlStreamReader workbook(zipEntry(path, QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd()) {
        workbook.readNext();
        if (!workbook.isStartElement())
            continue;
        const auto a = workbook.attributes();
        if (workbook.name() == QLatin1String("sheet")) {
            book.sheets.push_back({a.value("name").toString(), a.value("state").toString()});
        } else if (workbook.name() == QLatin1String("definedName")) {
            const QString key = a.value("name").toString() + QLatin1Char('@') + a.value("localSheetId").toString();
            book.definedNames.insert(key, workbook.readElementText());
        }
    }
    for (size_t i = 0; i < book.sheets.size(); ++i)
        book.sheetData.push_back(
            parseSheet(zipEntry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1)), book.sharedStrings));
    return book;
}

// The rows of a CSV file written by ssconvert (quoted fields, comma separated).
inline std::vector<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    std::vector<QStringList> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QString text = QString::fromUtf8(file.readAll());
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\n') {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

} // namespace orv::sheet::xls::testing
