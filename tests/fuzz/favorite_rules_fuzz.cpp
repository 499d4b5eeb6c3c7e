// Fuzzes the Add a Favorite rules on outside text: the name a person types or pastes, folder names
// from the disk and the registry, and a language file's overwrite question. The first byte picks
// the code page and the capacity; the rest, cut at bytes 0x1F, gives folder, name and pattern.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "favorites/logic/favorite_rules.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace commonq;
  using namespace commonq::fuzz;
  if (size == 0) return 0;
  const LeadBytePredicate lead = (data[0] & 1) != 0 ? &IsShiftJisLead : nullptr;
  std::istringstream input(std::string(data + 1, data + size));
  std::string part[3];
  for (std::string& text : part) std::getline(input, text, '\x1F');
  const std::string name = TrimName(part[1], lead);
  Check(part[1].find(name) != std::string::npos && TrimName(name, lead) == name);
  if (lead == nullptr)
    Check(IsNameTextAllowed(part[1].c_str(), nullptr) ==
          (part[1].find_first_of(kForbiddenNameCharacters) >= std::strlen(part[1].c_str())));
  const std::optional<std::string> path = ComposeShortcutPath(part[0], name, lead);
  if (part[0].size() + 1 + name.size() + 4 < kFavoritePathBytes) Check(path.has_value());
  if (path) Check(path->size() < kFavoritePathBytes && path->starts_with(part[0]) && path->ends_with(".lnk"));
  Check(ComparePathsIgnoringCase(part[0], name, lead) == -ComparePathsIgnoringCase(name, part[0], lead));
  const std::size_t capacity = (data[0] & 0x80) != 0 ? kFavoritePathBytes : data[0] >> 2;
  // The question always fits, so it can never be the reason to refuse a path that fits.
  const std::string question = FormatOverwriteQuestion(part[2], name, lead, capacity);
  Check(capacity == 0 ? question.empty() : question.size() < capacity);
  Check(question.size() <= part[2].size() + name.size());
  return 0;
}
