#include "TAQUtError.h"

#include <cstdio>

TAQUtError::TAQUtError(ValidErrors_e code) : VORError(), mCode(code) {}

TAQUtError::~TAQUtError() = default;

void TAQUtError::Throw(const char* source, int line, const char* extra) {
  mSource = source ? source : "";
  mLine = line;
  char text[64];
  std::snprintf(text, sizeof text, "error 0x%08X at line %d of ", static_cast<unsigned>(mCode), line);
  std::string message = std::string(text) + mSource;
  if (extra && *extra) message += std::string(": ") + extra;
  SetMessage(message);
  throw TAQUtError(*this);
}
