// The logic tier's hot paths, timed with Google Benchmark: the layout of the rich task dialog (the
// gallery's "Rich task dialog": command links with notes, radio buttons, verification, expanded
// information, footer, progress bar) as the two measuring passes and the emitting pass, and the
// writing of its in-memory template. Text is measured by a fixed-width stand-in for DrawText, so
// the figures are the library's own work without the system's text measurement.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "taskdialog/logic/dialog_units.h"
#include "taskdialog/logic/task_dialog_layout.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/logic/template_writer.h"
#include "tests/vector_template_block.h"

namespace commonq {
namespace {

// Every character 7 pixels wide in the body font and 8 in the main font, lines of 15 and 18
// pixels; words wrap greedily at spaces and "\n" breaks a line.
class FixedMeasurer : public TextMeasurer {
 public:
  TextSize Measure(std::string_view text, TextFont font, unsigned, int width) override {
    if (text.empty()) return {};
    const int cw = font == TextFont::kMain ? 8 : 7;
    const int lh = font == TextFont::kMain ? 18 : 15;
    int lines = 1;
    int widest = 0;
    int line = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
      const std::size_t end = std::min(text.find_first_of(" \n", at), text.size());
      const int w = static_cast<int>(end - at) * cw;
      if (line > 0 && line + cw + w > width) {
        widest = std::max(widest, line);
        ++lines;
        line = w;
      } else {
        line += (line > 0 ? cw : 0) + w;
      }
      if (end < text.size() && text[end] == '\n') {
        widest = std::max(widest, line);
        ++lines;
        line = 0;
      }
      at = end + 1;
    }
    return {std::max(widest, line), lines * lh};
  }
};

constexpr int kX = 7;
constexpr int kY = 15;

TaskDialogLayoutInput RichInput() {
  TaskDialogLayoutInput in;
  in.baseUnitX = kX;
  in.baseUnitY = kY;
  in.metrics = MakeTaskDialogMetrics(kX, kY, SystemSizes{13, 13, 16, 32});
  in.commonButtonTexts = {"&OK", "&Yes", "&No", "&Retry", "&Cancel", "&Close"};
  in.flags = td::kUseCommandLinks | td::kShowProgressBar | td::kAllowDialogCancellation;
  in.commonButtons = td::kCancelButton;
  in.hasMainIcon = true;
  in.hasFooterIcon = true;
  in.mainInstruction = "What should happen with chair.obj?";
  in.content = "The model was found in the download folder. It has 12 objects and 3 textures.";
  in.buttons = {{301, "Open the model\nShows it in the viewer."},
                {302, "Open a copy\nThe original stays untouched."},
                {303, "Import into the scene\nMerges its objects."},
                {304, "Show in folder\nSelects the file."},
                {305, "Do nothing\nCloses this question."}};
  in.radioButtons = {{401, "Metres"}, {402, "Centimetres"}, {403, "Millimetres"}, {404, "Inches"}, {405, "Feet"}};
  in.verification = "Do this for every model";
  in.expandedInformation = "Path: C:\\Users\\Ann\\Downloads\\chair.obj\nSize: 1.2 MB";
  in.collapsedLabel = "See details";
  in.expandedLabel = "Hide details";
  in.footer = "The unit decides the size of the model in the scene.";
  return in;
}

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// What the dialog does before it is created: both measuring passes, then the emitting pass.
void BM_RichTaskDialogLayout(benchmark::State& state) {
  const TaskDialogLayoutInput in = RichInput();
  FixedMeasurer measurer;
  size_t items = 0;
  for (auto _ : state) {
    const TaskDialogLayout layout = LayOutTaskDialog(in, measurer, 0, true);
    items = layout.items.size();
    benchmark::DoNotOptimize(layout.items.data());
  }
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_RichTaskDialogLayout);

// The in-memory template of the laid-out rich dialog: header, then one item per control in dialog
// units, into a fresh block each time, as each run of the dialog writes it.
void BM_RichTaskDialogTemplate(benchmark::State& state) {
  const TaskDialogLayoutInput in = RichInput();
  FixedMeasurer measurer;
  const TaskDialogLayout size = LayOutTaskDialog(in, measurer, 0, true);
  const std::vector<LayoutItem>& items = size.items;
  std::size_t bytes = 0;
  for (auto _ : state) {
    VectorTemplateBlock block;
    TemplateWriter writer(block);
    TemplateHeader header;
    header.title = u"Rich task dialog";
    header.style = 0x80C800C4;
    header.cx = static_cast<int16_t>(size.width * 4 / kX);
    header.cy = static_cast<int16_t>(size.height * 8 / kY);
    header.face = u"Tahoma";
    header.pointSize = 8;
    writer.BeginTemplate(header);
    for (const LayoutItem& item : items) {
      writer.AddItem(LaidOutTemplateItem(item, kX, kY, Widen(item.className), Widen(item.text)));
    }
    bytes = writer.Used();
    benchmark::DoNotOptimize(block.Data());
  }
  state.counters["items"] = static_cast<double>(items.size());
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RichTaskDialogTemplate);

}  // namespace
}  // namespace commonq

BENCHMARK_MAIN();
