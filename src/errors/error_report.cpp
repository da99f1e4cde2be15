#include "errors/error_report.h"

#include <Zydis/Zydis.h>

#include "win/source_location.h"

namespace velkor {

namespace {

struct Description {
  uint32_t code;
  const char* text;
};

constexpr Description kDescriptions[] = {
    {0x00000000, "No Error"},
    {0x80000003, "BREAKPOINT A breakpoint was encountered."},
    {0x80000004,
     "SINGLE_STEP The CPU has signalled that one instruction has been executed.Only of interest to Debuggers"},
    {0xC0000005, "An attemped read or write to/from an address to which that process isn't allowed"},
    {0xC0000008,
     "INVALID_HANDLE The API call was passed a handle to a kernel object which was invalid -usually because that "
     "handle has already been closed."},
    {0xC000001D, "Try to execute an invalid instruction -such as MMX opcodes on a non MMX system"},
    {0xC0000025,
     "The exception filter returned EXCEPTION_CONTINUE_EXCEPTION when the exception raised isn't restartable"},
    {0xC0000026,
     "INVALID_DISPOSITION Whatever number the exception filter returned, it wasn't a value the OS knows about."},
    {0xC000008D,
     "FLOAT_DENORMAL_OPERAND One of the operands in a floating-point operation is too small to be represented in a "
     "floating-point value."},
    {0xC000008E, "FLOAT_DIVIDE_BY_ZERO The thread tried to divide a floating-point value by zero."},
    {0xC000008F,
     "FLOAT_INEXACT_RESULT The accuracy of the last floating point operation is worse than usual as it is impossible "
     "to represent in the float accurately,"},
    {0xC0000090, "FLOAT_INVALID_OPERATION Any other floating-point exception."},
    {0xC0000091, "FLOAT_OVERFLOW The result was too big to represent"},
    {0xC0000092,
     "FLOAT_STACK_CHECK A floating point stack overflowed or underflow. This related to the baroque design of the "
     "floating point unit."},
    {0xC0000093, "FLT_UNDERFLOW The result was too small to represent"},
    {0xC0000094, "Attempted division by zero"},
    {0xC0000096,
     "The instruction is not allowed in the current ring (inport, outport & control register manipulation "
     "usually)"},
    {0xC00000FD,
     "Stack overflow.Can occur during errant recursion, or when a function creates a particularly large array on the "
     "stack."},
    {0xC000013A, "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. "},
    {0xC0000142, "EXCEPTION_DLL_Initialisation_Failure raised when DllMain() returns false (?)"},
};

constexpr const char* kUnitNames[] = {"Main Module",     "Procedures", "ProcessCPU",
                                      "FileVersionInfo", "Network",    "OnError"};

}  // namespace

bool IsProcessorFault(uint32_t code) {
  switch (code) {
    case 0x80000001:  // guard page
    case 0x80000002:  // misaligned data
    case 0x80000003:  // breakpoint
    case 0xC0000005:  // access violation
    case 0xC0000006:  // in-page error
    case 0xC000001D:  // invalid instruction
    case 0xC000008C:  // array bounds
    case 0xC000008D:
    case 0xC000008E:
    case 0xC000008F:
    case 0xC0000090:
    case 0xC0000091:
    case 0xC0000092:
    case 0xC0000093:  // floating-point faults
    case 0xC0000094:  // integer division by zero
    case 0xC0000095:  // integer overflow
    case 0xC0000096:  // privileged instruction
    case 0xC00000FD:  // stack overflow
    case 0xC00002B4:
    case 0xC00002B5:  // several floating-point faults or traps at once
      return true;
    default: return false;
  }
}

const char* ExceptionDescription(uint32_t code) {
  for (const Description& d : kDescriptions)
    if (d.code == code) return d.text;
  return "UNKNOWN Error";
}

std::string SourceUnitName(uint32_t unit) {
  if (unit < std::size(kUnitNames)) return kUnitNames[unit];
  return "Unit " + std::to_string(unit);
}

DecodedInstruction DecodeInstruction(const uint8_t* bytes, size_t count, uint64_t address) {
  DecodedInstruction result;
  ZydisDecoder decoder;
  result.text = "??";  // nothing readable at the address
  if (!bytes || count == 0 ||
      !ZYAN_SUCCESS(ZydisDecoderInit(&decoder, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64)))
    return result;
  ZydisDecodedInstruction instruction;
  ZydisDecodedOperand operands[ZYDIS_MAX_OPERAND_COUNT];
  if (!ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder, bytes, count, &instruction, operands))) {
    // Not an instruction: show the bytes, so the dialog still says something.
    static constexpr char kHex[] = "0123456789ABCDEF";
    result.text = "db";
    for (size_t i = 0; i < count && i < 4; ++i) {
      result.text += i ? ", " : " ";
      result.text += {'0', 'x', kHex[bytes[i] >> 4], kHex[bytes[i] & 15]};
    }
    return result;
  }
  ZydisFormatter formatter;
  char text[160] = {};
  // Memory operands always with their size: "idiv dword ptr [rbp-0x04]".
  if (ZYAN_SUCCESS(ZydisFormatterInit(&formatter, ZYDIS_FORMATTER_STYLE_INTEL)) &&
      ZYAN_SUCCESS(ZydisFormatterSetProperty(&formatter, ZYDIS_FORMATTER_PROP_FORCE_SIZE, ZYAN_TRUE)) &&
      ZYAN_SUCCESS(ZydisFormatterFormatInstruction(&formatter, &instruction, operands,
                                                   instruction.operand_count_visible, text, sizeof text, address,
                                                   ZYAN_NULL)))
    result.text = text;
  result.length = instruction.length;
  return result;
}

std::string ErrorDialogText(const ErrorReport& report) {
  return std::string("Beschreibung: ") + ExceptionDescription(report.code) +
         "\r\n\r\nZeile: " + std::to_string(SourceLineOf(report.location)) +
         "\r\n\r\nModul: " + SourceUnitName(SourceUnitOf(report.location)) + "\r\n\r\nAssembler: " + report.instruction;
}

uint64_t ResumeAddress(uint32_t code, uint64_t faultAddress, uint64_t threadAddress, size_t instructionLength) {
  if (!IsProcessorFault(code) || instructionLength == 0) return threadAddress;
  return faultAddress + instructionLength;
}

}  // namespace velkor
