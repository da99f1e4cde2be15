// What the error dialog says about a fault, and where the program resumes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "errors/error_report.h"
#include "win/source_location.h"

namespace velkor {
namespace {

TEST(ErrorReport, DescriptionsCoverTheKnownCodesAndFallBackForOthers) {
  EXPECT_STREQ(ExceptionDescription(0xC0000094), "Attempted division by zero");
  EXPECT_STREQ(ExceptionDescription(0), "No Error");
  // The trailing blank belongs to the text.
  EXPECT_STREQ(ExceptionDescription(0xC000013A), "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. ");
  for (uint32_t code : {0x1u, 0xC0000095u, 0xE06D7363u, 0xFFFFFFFFu, 0x20474343u})
    EXPECT_STREQ(ExceptionDescription(code), "UNKNOWN Error") << std::hex << code;
}

TEST(ErrorReport, DialogTextJoinsDescriptionLineUnitAndInstruction) {
  ErrorReport report;
  report.code = 0xC0000094;
  report.location = PackSourceLocation(kMainModule, 42);
  report.instruction = "idiv ecx";
  EXPECT_EQ(ErrorDialogText(report),
            "Beschreibung: Attempted division by zero\r\n\r\nZeile: 42\r\n\r\nModul: Main Module\r\n\r\n"
            "Assembler: idiv ecx");
}

uint32_t UnitInsideAProcedure() {
  VELKOR_PLACE(kOnErrorUnit);
  return SourceUnitOf(CurrentSourceLocation);
}

TEST(ErrorReport, SourceLocationKeepsUnitAndLineApart) {
  struct Case {
    uint32_t unit, line, expectedLine;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{255, 0xFFFFFF, 0xFFFFFF}, Case{5, 0x1000000, 0xFFFFFF}}) {
    const uint32_t location = PackSourceLocation(c.unit, c.line);
    EXPECT_EQ(SourceUnitOf(location), c.unit);
    EXPECT_EQ(SourceLineOf(location), c.expectedLine);
  }
  VELKOR_LINE(kNetworkUnit);
  const uint32_t line = __LINE__ - 1;
  EXPECT_EQ(SourceUnitOf(CurrentSourceLocation), uint32_t{kNetworkUnit});
  EXPECT_EQ(SourceLineOf(CurrentSourceLocation), line);
  // A procedure's place gives way to its caller's when it returns.
  const uint32_t caller = CurrentSourceLocation;
  {
    VELKOR_PLACE(kProcessCpuUnit);
    EXPECT_EQ(UnitInsideAProcedure(), uint32_t{kOnErrorUnit});
    EXPECT_EQ(SourceUnitOf(CurrentSourceLocation), uint32_t{kProcessCpuUnit});
  }
  EXPECT_EQ(CurrentSourceLocation, caller);
  EXPECT_EQ(SourceUnitName(kMainModule), "Main Module");
  EXPECT_EQ(SourceUnitName(200), "Unit 200");
}

TEST(ErrorReport, DecoderMeasuresAndRendersKnownInstructions) {
  struct Case {
    std::vector<uint8_t> bytes;
    size_t length;
    std::string text;
  };
  const Case cases[] = {
      {{0xF7, 0xF9}, 2, "idiv ecx"},
      {{0x48, 0xF7, 0x7D, 0xF8}, 4, "idiv qword ptr [rbp-0x08]"},
      {{0xCC}, 1, "int3"},
      {{0x0F, 0x0B}, 2, "ud2"},
      {{0x8B, 0x05, 0x10, 0x00, 0x00, 0x00}, 6, "mov eax, dword ptr [0x0000000000401016]"},  // rip-relative, resolved
      {{0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10, "mov rax, 0x807060504030201"},
      {{0xF3, 0x0F, 0x5E, 0xC1}, 4, "divss xmm0, xmm1"},
      {{0xE8, 0x00, 0x00, 0x00, 0x00}, 5, "call 0x0000000000401005"},
  };
  for (const Case& c : cases) {
    // Trailing bytes beyond the instruction must not change its length.
    std::vector<uint8_t> bytes = c.bytes;
    bytes.resize(15, 0x90);
    const DecodedInstruction decoded = DecodeInstruction(bytes.data(), bytes.size(), 0x401000);
    EXPECT_EQ(decoded.length, c.length) << c.text;
    EXPECT_EQ(decoded.text, c.text);
  }
}

TEST(ErrorReport, UndecodableOrMissingBytesStillGiveText) {
  const uint8_t cut[] = {0x48, 0xB8, 1, 2};  // the instruction is longer than what could be read
  DecodedInstruction decoded = DecodeInstruction(cut, sizeof cut, 0);
  EXPECT_EQ(decoded.length, 0u);
  EXPECT_EQ(decoded.text, "db 0x48, 0xB8, 0x01, 0x02");
  const uint8_t invalid[] = {0x06};  // push es does not exist in 64-bit mode
  EXPECT_EQ(DecodeInstruction(invalid, sizeof invalid, 0).length, 0u);
  decoded = DecodeInstruction(nullptr, 0, 0);
  EXPECT_EQ(decoded.length, 0u);
  EXPECT_EQ(decoded.text, "??");
}

TEST(ErrorReport, ResumeBehindProcessorFaultsOnly) {
  constexpr uint64_t fault = 0x401000, thread = 0x401000;
  EXPECT_EQ(ResumeAddress(0xC0000094, fault, thread, 2), fault + 2);
  EXPECT_EQ(ResumeAddress(0xC0000005, fault, thread, 6), fault + 6);
  EXPECT_EQ(ResumeAddress(kStackOverflowCode, fault, thread, 5), fault + 5);
  // A breakpoint: behind the int3 even when the thread already stands there.
  EXPECT_EQ(ResumeAddress(0x80000003, fault, fault + 1, 1), fault + 1);
  // Raised by software or reported after the instruction: where the thread stands.
  EXPECT_EQ(ResumeAddress(0xE0000001, fault, 0x402000, 3), 0x402000u);
  EXPECT_EQ(ResumeAddress(kSingleStepCode, fault, 0x402000, 3), 0x402000u);
  // Nothing decoded: the thread stays, so the fault comes again.
  EXPECT_EQ(ResumeAddress(0xC0000005, fault, thread, 0), thread);
}

}  // namespace
}  // namespace velkor
