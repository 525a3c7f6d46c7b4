// The workbook's fixed XML, as Excel and the other spreadsheets read it.
#include "xlsxparts.h"

#include <QDateTime>

namespace {
const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray sheetSpaces =
    R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const QByteArray relationTypes =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const QByteArray partTypes = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
const QByteArray relationsStart =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";

// Bold captions; amounts with two decimals; dates and times in the shop's forms.
const QByteArray styles = declaration + R"(<styleSheet
xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="3">
<numFmt numFmtId="164" formatCode="0.00"/><numFmt numFmtId="165" formatCode="yyyy/m/d"/>
<numFmt numFmtId="166" formatCode="hh:mm:ss"/></numFmts><fonts count="2">
<font><sz val="11"/><name val="Calibri"/><family val="2"/></font>
<font><b/><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>
<fills count="2"><fill><patternFill patternType="none"/></fill>
<fill><patternFill patternType="gray125"/></fill></fills>
<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="5"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>
<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="166" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
</cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>)";

QByteArray relation(int id, const QByteArray &type, const QByteArray &target) {
    return "<Relationship Id=\"rId" + QByteArray::number(id) + "\" Type=\"" + type +
           "\" Target=\"" + target + "\"/>";
}

QByteArray typeOf(const QByteArray &part, const QByteArray &type) {
    return "<Override PartName=\"/" + part + "\" ContentType=\"" + type + "\"/>";
}

// Sheet names are at most 31 characters and may not hold []:*?/\.
QString sheetName(const QString &title, int sheet) {
    QString name = title.trimmed();
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.replace(c, QLatin1Char(' '));
    name = name.simplified();
    if (name.isEmpty())
        name = QStringLiteral("Sheet");
    const QString suffix = sheet > 1 ? QStringLiteral(" (%1)").arg(sheet) : QString();
    return name.left(31 - suffix.size()) + suffix;
}
} // namespace

QByteArray xlsxparts::sheetPart(int sheet) {
    return "xl/worksheets/sheet" + QByteArray::number(sheet) + ".xml";
}

QByteArray xlsxparts::sheetStart(bool first) {
    return declaration + "<worksheet " + sheetSpaces + "><sheetViews><sheetView " +
           (first ? "tabSelected=\"1\" " : "") +
           R"(workbookViewId="0"><pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" )"
           R"(state="frozen"/><selection pane="bottomLeft"/></sheetView></sheetViews>)"
           R"(<sheetFormatPr defaultRowHeight="15"/><sheetData>)";
}

QByteArray xlsxparts::sheetEnd() {
    return R"(</sheetData><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" )"
           R"(header="0.3" footer="0.3"/></worksheet>)";
}

std::vector<std::pair<QByteArray, QByteArray>> xlsxparts::fixedParts(const QString &title,
                                                                     int sheets) {
    QByteArray types =
        declaration + R"(<Types
xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels"
ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>)" +
        typeOf("docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml") +
        typeOf("xl/workbook.xml", partTypes + "sheet.main+xml") +
        typeOf("xl/styles.xml", partTypes + "styles+xml");
    QByteArray names;
    QByteArray sheetRelations;
    for (int sheet = 1; sheet <= sheets; ++sheet) {
        const QByteArray id = QByteArray::number(sheet);
        types += typeOf(sheetPart(sheet), partTypes + "worksheet+xml");
        names += "<sheet name=\"" + sheetName(title, sheet).toHtmlEscaped().toUtf8() +
                 "\" sheetId=\"" + id + "\" r:id=\"rId" + id + "\"/>";
        sheetRelations += relation(sheet, relationTypes + "worksheet", sheetPart(sheet).mid(3));
    }
    const QByteArray now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    return {
        {"[Content_Types].xml", types + "</Types>"},
        {"_rels/.rels",
         declaration + relationsStart +
             relation(1, relationTypes + "officeDocument", "xl/workbook.xml") +
             relation(2,
                      "http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                      "core-properties",
                      "docProps/core.xml") +
             "</Relationships>"},
        {"docProps/core.xml",
         declaration + R"(<cp:coreProperties
xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties"
xmlns:dcterms="http://purl.org/dc/terms/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<dcterms:created xsi:type="dcterms:W3CDTF">)" +
             now + R"(</dcterms:created><dcterms:modified xsi:type="dcterms:W3CDTF">)" + now +
             "</dcterms:modified></cp:coreProperties>"},
        {"xl/workbook.xml",
         declaration + "<workbook " + sheetSpaces + "><sheets>" + names + "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         declaration + relationsStart + sheetRelations +
             relation(sheets + 1, relationTypes + "styles", "styles.xml") + "</Relationships>"},
        {"xl/styles.xml", styles},
    };
}
