// The bytes of both export formats, the file-name rule and the column choice.
#include "export/export_format.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace velkor {
namespace {

constexpr const char* kDate = "08.12.2026 - 09:05 Uhr";
constexpr const char* kHtmlHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<HTML>\r\n<HEAD>\r\n"
    "\t<META HTTP-EQUIV=\"CONTENT-TYPE\" CONTENT=\"text/html; charset=windows-1252\">\r\n"
    "\t<TITLE>Velkor HTML Export</TITLE>\r\n\t<META NAME=\"GENERATOR\" CONTENT=\"Velkor\">\r\n</HEAD>\r\n"
    "<BODY LANG=\"de-DE\">\r\n<P ALIGN=CENTER><FONT SIZE=5 STYLE=\"font-size: 20pt\"><I><B>Velkor</B></I></FONT></P>"
    "<P ALIGN=CENTER><FONT SIZE=3>HTML Export (08.12.2026 - 09:05 Uhr)</FONT></P>\r\n"
    "<TABLE WIDTH=\"100%\" BORDER=1 CELLPADDING=4 CELLSPACING=0>\r\n";

TEST(ExportFormat, DateHasFixedWidthFields) {
  EXPECT_EQ(FormatExportDate({8, 12, 2026, 9, 5}), kDate);
  EXPECT_EQ(FormatExportDate({31, 1, 999, 23, 59}), "31.01.0999 - 23:59 Uhr");
}

TEST(ExportFormat, EmptyListGivesHeadingAndHeaderOnly) {
  const ExportTable table{{"Treibername", "Pfad"}, {}};
  EXPECT_EQ(FormatTextExport(table, kDate),
            "Velkor\r\nHTML Export (08.12.2026 - 09:05 Uhr)\r\n\r\nTreibername:\tPfad:\t\r\n\r\n");
  EXPECT_EQ(FormatHtmlExport(table, kDate),
            std::string(kHtmlHead) +
                "<TR STYLE=\"background: #99bbff\" VALIGN=TOP>\r\n<TD><P>Treibername:</P></TD>\r\n"
                "<TD><P>Pfad:</P></TD>\r\n</TR>\r\n</TABLE></BODY></HTML>");
}

TEST(ExportFormat, TextColumnsFitCaptionColonAndLongestCell) {
  // Widths: max(caption + colon, longest cell); an empty caption over empty
  // cells is width 0 and loses its colon.
  const ExportTable table{
      {"Prozess", "Speicherauslastung", "", "Laufzeit", "CPU-Last"},
      {{"explorer.exe", "1.024 KB", "", "0:00:59", "0,0%"}, {"a", "0 KB", "", "1:02:05", "Normal"}}};
  EXPECT_EQ(FormatTextExport(table, kDate),
            "Velkor\r\nHTML Export (08.12.2026 - 09:05 Uhr)\r\n\r\n"
            "Prozess:    \tSpeicherauslastung:\t\tLaufzeit:\tCPU-Last:\t\r\n\r\n"
            "explorer.exe\t           1.024 KB\t\t0:00:59  \t0,0%     \t\r\n"
            "a           \t               0 KB\t\t  1:02:05\tNormal   \t\r\n");
}

TEST(ExportFormat, ControlCharactersOfWindowTitlesStayOnTheirLine) {
  const ExportTable table{{"Fenstertitel", "PID"}, {{"Zeile\r\nzwei\tdrei\x01", "\t7"}}};
  EXPECT_EQ(FormatTextExport(table, kDate),
            "Velkor\r\nHTML Export (08.12.2026 - 09:05 Uhr)\r\n\r\n"
            "Fenstertitel:    \tPID:\t\r\n\r\n"
            "Zeile  zwei drei \t   7\t\r\n");
}

TEST(ExportFormat, RightAlignmentFollowsLeadingNumberOrKb) {
  struct Case {
    const char* cell;
    bool right;
  };
  for (const Case c : {Case{"1.024 KB", true},
                       {"0 KB", true},
                       {"Normal", false},
                       {"explorer.exe", false},
                       {"0,0%", false},
                       {"0:00:59", false},
                       {"1:02:05", true},
                       {"12,5%", true},
                       {"-3", true},
                       {" 7x", true},
                       {".5", true},
                       {"0.0e5", false},
                       {"1e999", true},
                       {"1e-999", false},
                       {"Info", false},
                       {"nan", false},
                       {"0x1A", false},
                       {"", false},
                       {"kb", false}})
    EXPECT_EQ(AlignsRight(c.cell), c.right) << c.cell;
}

TEST(ExportFormat, HtmlRowsAlternateAndCellsAreEscaped) {
  const ExportTable table{{"Dienstname", ""}, {{"Müller & Co!", ""}, {"<script>\"$%'#{~}", "a\tb"}, {"x", "y"}}};
  EXPECT_EQ(FormatHtmlExport(table, kDate),
            std::string(kHtmlHead) +
                "<TR STYLE=\"background: #99bbff\" VALIGN=TOP>\r\n<TD><P>Dienstname:</P></TD>\r\n"
                "<TD><P>&nbsp;</P></TD>\r\n</TR>\r\n"
                "<TR STYLE=\"background: #FFFFFF\" VALIGN=TOP>\r\n<TD><P>M&#252;ller &#38; Co&#33;</P></TD>\r\n"
                "<TD><P>&nbsp;</P></TD>\r\n</TR>\r\n"
                "<TR STYLE=\"background: #DDDDDD\" VALIGN=TOP>\r\n"
                "<TD><P>&#60;script&#62;&#34;&#36;&#37;&#39;#&#123;&#126;&#125;</P></TD>\r\n"
                "<TD><P>a\tb</P></TD>\r\n</TR>\r\n"
                "<TR STYLE=\"background: #FFFFFF\" VALIGN=TOP>\r\n<TD><P>x</P></TD>\r\n<TD><P>y</P></TD>\r\n</TR>\r\n"
                "</TABLE></BODY></HTML>");
  std::string high;
  for (int b = 123; b < 256; ++b) high += static_cast<char>(b);
  std::string expected;
  for (int b = 123; b < 256; ++b) expected += "&#" + std::to_string(b) + ";";
  EXPECT_EQ(EscapeHtmlCell(high), expected);
}

TEST(ExportFormat, FileNameGetsTheExtensionOfItsFormat) {
  EXPECT_EQ(ExportFileName("liste", ExportFormat::kText), "liste.txt");
  EXPECT_EQ(ExportFileName("liste.TXT", ExportFormat::kText), "liste.TXT");
  EXPECT_EQ(ExportFileName("liste.htm", ExportFormat::kText), "liste.htm.txt");
  EXPECT_EQ(ExportFileName("liste.HTML", ExportFormat::kHtml), "liste.HTML");
  EXPECT_EQ(ExportFileName("liste.htm", ExportFormat::kHtml), "liste.htm");
  EXPECT_EQ(ExportFileName("liste.txt", ExportFormat::kHtml), "liste.txt.htm");
  EXPECT_EQ(ExportFileName("C:\\a.b\\liste", ExportFormat::kHtml), "C:\\a.b\\liste.htm");
}

TEST(ExportFormat, OnlyTheProcessListDropsHiddenColumns) {
  std::array<int32_t, 13> shown{};
  shown.fill(1);
  shown[0] = 0;   // "Fenstertitel"
  shown[12] = 0;  // "Pfad"
  EXPECT_EQ(ExportedColumns(*ExportTargetFor(1), shown), (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  shown.fill(0);
  EXPECT_EQ(ExportedColumns(*ExportTargetFor(1), shown), std::vector<int>{0});
  EXPECT_EQ(ExportedColumns(*ExportTargetFor(2), shown).size(), 9u);
  EXPECT_EQ(ExportedColumns(*ExportTargetFor(4), shown), (std::vector<int>{0, 1}));
  EXPECT_FALSE(ExportTargetFor(5));
}

}  // namespace
}  // namespace velkor
