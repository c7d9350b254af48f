// The framework's error class. Modeler operators raise a VORError (or a class derived from it) when they
// fail; a caller that catches one fetches its message and discards it with Flush. No backend exception
// type ever reaches a caller: the kernel turns its own failures into VORError.
#ifndef VORError_h
#define VORError_h

#include <exception>
#include <string>

#include "TAQExport.h"

class TAQ_EXPORT VORError : public std::exception {
 public:
  explicit VORError(const std::string& message = std::string());
  VORError(const VORError&) = default;
  VORError& operator=(const VORError&) = default;
  ~VORError() override;

  const char* GetMessage() const { return mMessage.c_str(); }
  const char* what() const noexcept override { return mMessage.c_str(); }
  // Marks the error as handled; a flushed error has no message left.
  void Flush();
  bool IsFlushed() const { return mFlushed; }

 protected:
  void SetMessage(const std::string& message) { mMessage = message; }

 private:
  std::string mMessage;
  bool mFlushed = false;
};

#endif
