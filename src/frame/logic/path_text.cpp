#include "frame/logic/path_text.h"

#include <cstring>
#include <string>

namespace commonq {
namespace {

void ReplaceBuffer(char* buffer, std::size_t capacity, const std::string& text) {
  std::memset(buffer, 0, capacity);
  std::memcpy(buffer, text.data(), text.size() < capacity ? text.size() : capacity - 1);
}

}  // namespace

bool StripToFileName(char* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  std::string copy(buffer, ::strnlen(buffer, capacity));
  const std::size_t originalLength = copy.size();

  char separator = '\\';
  std::size_t at = copy.rfind(separator);
  if (at == std::string::npos) at = copy.rfind(separator = '/');
  if (at == std::string::npos) at = copy.rfind(separator = ':');
  if (at == std::string::npos) return false;

  while (at != std::string::npos && at + 1 == copy.size()) {
    copy.pop_back();
    at = copy.rfind(separator);
  }
  if (at != std::string::npos) {
    ReplaceBuffer(buffer, capacity, copy.substr(at + 1));
    return true;
  }
  // Only trailing separators were found: what is left is the name.
  if (copy.empty() || copy.size() >= originalLength) return false;
  ReplaceBuffer(buffer, capacity, copy);
  return true;
}

}  // namespace commonq
