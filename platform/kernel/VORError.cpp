#include "VORError.h"

VORError::VORError(const std::string& message) : mMessage(message) {}

VORError::~VORError() = default;

void VORError::Flush() {
  mMessage.clear();
  mFlushed = true;
}
