// What the error dialog shows about a run-time fault, decided without Windows:
// the description by exception code, the source unit names, the instruction
// that faulted (decoded from its bytes) and where the program resumes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velkor {

// Exception codes the handler treats specially.
constexpr uint32_t kStackOverflowCode = 0xC00000FD;
constexpr uint32_t kSingleStepCode = 0x80000004;

// The English description of an exception code; "UNKNOWN Error" for codes
// without one.
const char* ExceptionDescription(uint32_t code);

// Faults the processor reports with the thread standing at the instruction
// that caused them (a breakpoint at its int3): access violations, invalid
// and privileged instructions, integer and floating-point faults, stack
// overflow. Exceptions raised by software are not among them.
bool IsProcessorFault(uint32_t code);

// The name of a source unit ("Main Module" for index 0).
std::string SourceUnitName(uint32_t unit);

struct DecodedInstruction {
  size_t length = 0;  // 0: the bytes hold no valid instruction
  std::string text;   // mnemonic and operands in Intel syntax; else the first bytes ("db 0x0F"), "??" for none
};
// Decodes the x86-64 instruction at the start of `bytes` (up to `count`
// bytes were readable), rendered as if it stood at `address`.
DecodedInstruction DecodeInstruction(const uint8_t* bytes, size_t count, uint64_t address);

struct ErrorReport {
  uint32_t code = 0;
  uint32_t location = 0;  // the packed source location at the fault
  std::string instruction;
};
// The text of the dialog's description field.
std::string ErrorDialogText(const ErrorReport& report);

// Where the thread resumes after "Fortfahren": behind the faulting
// instruction for the faults the processor reports at that instruction;
// where the thread stands for exceptions raised by software or reported
// after the instruction (single step), and when the instruction could not
// be decoded.
uint64_t ResumeAddress(uint32_t code, uint64_t faultAddress, uint64_t threadAddress, size_t instructionLength);

}  // namespace velkor
