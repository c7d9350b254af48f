// The utility layer's error: a VORError with a code, raised by misuse of a TAQUtVector (a bad index or an
// invalid iterator). Throw records where it was raised and throws a copy of the error, which the caller
// catches as TAQUtError (or VORError) by reference.
#ifndef TAQUtError_h
#define TAQUtError_h

#include <string>

#include "TAQExport.h"
#include "VORError.h"

class TAQ_EXPORT TAQUtError : public VORError {
 public:
  enum ValidErrors_e : unsigned int {
    IndexOutOfRange = 0x80000000u,  // checked index at or beyond the size
    InvalidIterator = 0x80000001u   // iterator detached, invalidated, or moved past the end
  };

  explicit TAQUtError(ValidErrors_e code);
  ~TAQUtError() override;

  // Records source and line, then throws a copy of this error. Does not return.
  [[noreturn]] void Throw(const char* source, int line, const char* extra);

  ValidErrors_e GetCode() const { return mCode; }
  const char* GetSource() const { return mSource.c_str(); }
  int GetLine() const { return mLine; }

 private:
  ValidErrors_e mCode;
  std::string mSource;
  int mLine = 0;
};

#endif
