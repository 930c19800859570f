#include "sheet/xlsx/XlsxReader.h"

#include "files/Failure.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/xls/NumberFormats.h"
#include "sheet/xlsx/XmlText.h"

#include <QHash>
#include <QXmlStreamReader>
#include <memory>
#include <zip.h>

namespace orv::sheet::xlsx {

namespace {

[[noreturn]] void notAWorkbook(const QString &why)
{
    throw Failure(QStringLiteral("The file is not a readable .xlsx workbook: %1").arg(why));
}

// The parts of a zip package held in memory, read one at a time within the
// limits.
class Package {
public:
    Package(const QByteArray &file, const XlsxReadLimits &limits) : mLimits(limits)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(file.constData(), file.size(), 0, &error);
        if (source)
            mZip.reset(zip_open_from_source(source, ZIP_RDONLY, &error));
        if (source && !mZip)
            zip_source_free(source);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (!mZip)
            notAWorkbook(reason.toLower());
        if (zip_get_num_entries(mZip.get(), 0) > mLimits.entries)
            notAWorkbook(QStringLiteral("it holds more than %1 parts").arg(mLimits.entries));
    }

    bool has(const QString &name) const { return zip_name_locate(mZip.get(), name.toUtf8().constData(), 0) >= 0; }

    QByteArray part(const QString &name)
    {
        const zip_int64_t index = zip_name_locate(mZip.get(), name.toUtf8().constData(), 0);
        if (index < 0)
            notAWorkbook(QStringLiteral("the part %1 is missing").arg(name));
        zip_stat_t stat;
        if (zip_stat_index(mZip.get(), index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            notAWorkbook(QStringLiteral("the size of %1 is unknown").arg(name));
        if (stat.size > quint64(mLimits.partBytes) || mRead + qint64(stat.size) > mLimits.totalBytes)
            notAWorkbook(QStringLiteral("%1 is larger than a workbook's part can be").arg(name));
        mRead += qint64(stat.size);
        return inflate(index, qint64(stat.size), name);
    }

private:
    struct CloseZip {
        void operator()(zip_t *zip) const { zip_discard(zip); }
    };
    struct CloseEntry {
        void operator()(zip_file_t *entry) const { zip_fclose(entry); }
    };

    // The whole part, which must inflate to exactly its stated size and
    // pass its checksum.
    QByteArray inflate(zip_int64_t index, qint64 size, const QString &name)
    {
        std::unique_ptr<zip_file_t, CloseEntry> entry(zip_fopen_index(mZip.get(), index, 0));
        QByteArray bytes(size, Qt::Uninitialized);
        qint64 got = 0;
        while (entry && got < size) {
            const zip_int64_t read = zip_fread(entry.get(), bytes.data() + got, zip_uint64_t(size - got));
            if (read <= 0)
                break;
            got += read;
        }
        char beyond;
        if (!entry || got != size || zip_fread(entry.get(), &beyond, 1) != 0)
            notAWorkbook(QStringLiteral("the part %1 is damaged or cut short").arg(name));
        return bytes;
    }

    XlsxReadLimits mLimits;
    std::unique_ptr<zip_t, CloseZip> mZip;
    qint64 mRead = 0;
};

void checkXml(const QXmlStreamReader &xml, const QString &part)
{
    if (xml.hasError())
        notAWorkbook(QStringLiteral("%1 is not well-formed (%2)").arg(part, xml.errorString()));
}

QString attribute(const QXmlStreamReader &xml, QStringView name)
{
    for (const QXmlStreamAttribute &attribute : xml.attributes())
        if (attribute.name() == name)
            return attribute.value().toString();
    return {};
}

// The text of a string item (si, is): its t elements, plain or in rich
// runs (r), leaving out phonetic runs (rPh), which repeat the reading of the
// text above it, and the blanks that lay out the XML between elements.
QString elementText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    int phonetic = 0;
    int inText = 0;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == u"rPh")
                phonetic = depth;
            else if (xml.name() == u"t")
                inText = depth;
            break;
        case QXmlStreamReader::EndElement:
            if (depth == phonetic)
                phonetic = 0;
            if (depth == inText)
                inText = 0;
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (inText && !phonetic)
                text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

struct SheetEntry {
    QString name;
    QString part;
    SheetVisibility visibility = SheetVisibility::Visible;
};

QString partPath(const QString &target)
{
    return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
}

std::vector<SheetEntry> sheetEntries(Package &package)
{
    QHash<QString, QString> targets;
    const QString relations = QStringLiteral("xl/_rels/workbook.xml.rels");
    QXmlStreamReader rels(package.part(relations));
    while (!rels.atEnd())
        if (rels.readNext() == QXmlStreamReader::StartElement && rels.name() == u"Relationship")
            targets.insert(attribute(rels, u"Id"), partPath(attribute(rels, u"Target")));
    checkXml(rels, relations);

    std::vector<SheetEntry> sheets;
    const QString workbookPart = QStringLiteral("xl/workbook.xml");
    QXmlStreamReader workbook(package.part(workbookPart));
    while (!workbook.atEnd()) {
        if (workbook.readNext() != QXmlStreamReader::StartElement || workbook.name() != u"sheet")
            continue;
        SheetEntry entry{attribute(workbook, u"name"), targets.value(attribute(workbook, u"id"))};
        const QString state = attribute(workbook, u"state");
        if (state == u"hidden")
            entry.visibility = SheetVisibility::Hidden;
        else if (state == u"veryHidden")
            entry.visibility = SheetVisibility::VeryHidden;
        if (entry.part.isEmpty())
            notAWorkbook(QStringLiteral("the sheet %1 has no part").arg(entry.name));
        sheets.push_back(entry);
    }
    checkXml(workbook, workbookPart);
    if (sheets.empty())
        notAWorkbook(QStringLiteral("it has no sheets"));
    return sheets;
}

QStringList sharedStrings(Package &package)
{
    const QString name = QStringLiteral("xl/sharedStrings.xml");
    QStringList strings;
    if (!package.has(name))
        return strings;
    QXmlStreamReader xml(package.part(name));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings << unescapedXmlText(elementText(xml));
    checkXml(xml, name);
    return strings;
}

// The number format code of each cell format (xf) by its index.
QStringList cellNumberFormats(Package &package)
{
    const QString name = QStringLiteral("xl/styles.xml");
    QStringList codes;
    if (!package.has(name))
        return codes;
    QHash<int, QString> custom;
    bool inCellFormats = false;
    QXmlStreamReader xml(package.part(name));
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellFormats = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"numFmt")
            custom.insert(attribute(xml, u"numFmtId").toInt(), attribute(xml, u"formatCode"));
        else if (xml.name() == u"cellXfs")
            inCellFormats = true;
        else if (inCellFormats && xml.name() == u"xf") {
            const int id = attribute(xml, u"numFmtId").toInt();
            const QString code = custom.contains(id) ? custom.value(id) : xls::builtInNumberFormatText(id);
            codes << (code.isEmpty() ? QStringLiteral("General") : code);
        }
    }
    checkXml(xml, name);
    return codes;
}

// "AB12" as a 0-based address; nothing when it is not a cell reference.
std::optional<CellAddress> cellReference(QStringView text)
{
    CellAddress at{0, 0};
    qsizetype i = 0;
    for (; i < text.size() && i < 4 && text[i].isLetter(); ++i)
        at.column = at.column * 26 + (text[i].unicode() | 0x20) - u'a' + 1;
    bool ok = false;
    at.row = text.mid(i).toInt(&ok);
    if (i == 0 || i > 3 || !ok || at.row < 1)
        return std::nullopt;
    return CellAddress{at.row - 1, at.column - 1};
}

// The worksheet part without its empty cells (`<c .../>`, a cell with a
// look and no value), which writers put down for every formatted cell of
// a sheet: a chart's calendar holds some 200 of them per row. Dropping
// them before the XML reader sees them saves most of its work; what is
// left is the same worksheet. Only cells that name their place (r="B7")
// go, since a cell without it takes its column from the one before. A cut that does not end where it seemed
// to leaves XML the reader refuses.
QByteArray withoutEmptyCells(const QByteArray &part)
{
    QByteArray kept;
    kept.reserve(part.size() / 4);
    qsizetype from = 0;
    for (qsizetype cell = part.indexOf("<c ", from); cell >= 0; cell = part.indexOf("<c ", from)) {
        const qsizetype close = part.indexOf('>', cell);
        if (close < 0)
            break;
        const QByteArrayView tag(part.constData() + cell, close - cell);
        const bool empty = part[close - 1] == '/' && tag.indexOf('<', 1) < 0 && tag.indexOf(" r=\"") >= 0;
        kept.append(part.constData() + from, (empty ? cell : close + 1) - from);
        from = close + 1;
    }
    kept.append(part.constData() + from, part.size() - from);
    return kept;
}

// Reads one worksheet part's cells into `sheet`.
class SheetCells {
public:
    SheetCells(Workbook &workbook, const QStringList &strings, const QStringList &numberFormats, int columns)
        : mWorkbook(workbook), mStrings(strings), mNumberFormats(numberFormats), mColumns(columns)
    {
    }

    void read(const QByteArray &part, const QString &name, Sheet &sheet)
    {
        QXmlStreamReader xml(withoutEmptyCells(part));
        int row = -1;
        int column = -1;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"row") {
                const int number = attribute(xml, u"r").toInt();
                row = number > 0 ? number - 1 : row + 1;
                column = -1;
            } else if (xml.name() == u"c") {
                const QXmlStreamAttributes attributes = xml.attributes();
                const auto at = cellReference(attributes.value(QLatin1StringView("r")));
                column = at ? at->column : column + 1;
                row = at ? at->row : row;
                readCell(xml, attributes, CellAddress{row, column}, sheet);
            }
        }
        checkXml(xml, name);
    }

private:
    void readCell(QXmlStreamReader &xml, const QXmlStreamAttributes &attributes, CellAddress at, Sheet &sheet)
    {
        if (at.row < 0 || at.row >= kMaxRows || at.column < 0 || at.column >= mColumns) {
            xml.skipCurrentElement();
            return;
        }
        const QString type = attributes.value(QLatin1StringView("t")).toString();
        const int style = attributes.value(QLatin1StringView("s")).toInt();
        Cell cell;
        QString valueText;
        bool hasValue = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"f") {
                cell.formula = formula(xml.readElementText(QXmlStreamReader::SkipChildElements));
            } else if (xml.name() == u"v" || xml.name() == u"is") {
                valueText = xml.name() == u"is" ? elementText(xml) : xml.readElementText();
                hasValue = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!hasValue && !cell.formula)
            return;
        if (hasValue)
            cell.value = value(type, valueText);
        cell.formatIndex = formatIndex(style);
        sheet.setCell(at, std::move(cell));
    }

    Value value(const QString &type, const QString &text) const
    {
        if (type == u"s") {
            const int index = text.toInt();
            if (index < 0 || index >= mStrings.size())
                notAWorkbook(QStringLiteral("a cell refers to a shared text that does not exist"));
            return mStrings[index];
        }
        if (type == u"str" || type == u"inlineStr")
            return unescapedXmlText(text);
        if (type == u"b")
            return text.trimmed() == u"1";
        if (type == u"e")
            return text;
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok ? Value(number) : Value(text);
    }

    // Formulas the engine cannot parse (shared formulas leave their text
    // in the first cell only) keep their results without the formula.
    static FormulaPtr formula(const QString &text)
    {
        if (text.isEmpty())
            return nullptr;
        try {
            return parseFormula(text);
        } catch (const Failure &) {
            return nullptr;
        }
    }

    int formatIndex(int style)
    {
        if (style <= 0 || style >= mNumberFormats.size())
            return 0;
        if (const auto known = mFormatIndex.constFind(style); known != mFormatIndex.cend())
            return *known;
        CellFormat format;
        format.numberFormat = mNumberFormats[style];
        const int index = mWorkbook.addFormat(format);
        mFormatIndex.insert(style, index);
        return index;
    }

    Workbook &mWorkbook;
    const QStringList &mStrings;
    const QStringList &mNumberFormats;
    int mColumns;
    QHash<int, int> mFormatIndex;
};

} // namespace

Workbook readXlsxValues(const QByteArray &file, const XlsxReadLimits &limits)
{
    Package package(file, limits);
    const std::vector<SheetEntry> entries = sheetEntries(package);
    const QStringList strings = sharedStrings(package);
    const QStringList numberFormats = cellNumberFormats(package);
    Workbook workbook;
    SheetCells cells(workbook, strings, numberFormats, limits.columns);
    for (const SheetEntry &entry : entries) {
        Sheet &sheet = workbook.addSheet(entry.name);
        sheet.setVisibility(entry.visibility);
        cells.read(package.part(entry.part), entry.part, sheet);
    }
    return workbook;
}

} // namespace orv::sheet::xlsx
