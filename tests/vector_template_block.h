#pragma once
// A dialog template's storage in a vector, for the template writer's fuzz target and benchmark.
#include <cstdint>
#include <new>
#include <vector>

#include "taskdialog/logic/template_writer.h"

namespace commonq {

class VectorTemplateBlock : public TemplateBlock {
 public:
  bool Resize(size_t size) override {
    try {
      bytes_.resize(size, 0);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  uint8_t* Data() override { return bytes_.data(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace commonq
