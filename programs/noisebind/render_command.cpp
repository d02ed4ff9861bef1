// noisebind render: an output of a graph file mapped and written as a
// picture or a heightmap, the same bytes a script's map methods write.
#include <CLI/CLI.hpp>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/image/image_save.h"
#include "engine/render/heightmap_files.h"
#include "engine/render/render_image.h"
#include "programs/noisebind/area.h"
#include "programs/noisebind/gradients.h"
#include "programs/noisebind/map_run.h"
#include "programs/noisebind/verbs.h"

namespace noisebind::cli {
namespace {

enum class Format { kPicture, kPng16, kLevel16, kFloat32, kFloat64 };

struct FormatName {
  const char* name;
  const char* extension;
  Format format;
};

constexpr FormatName kFormats[] = {
    {"picture", ".png", Format::kPicture}, {"png16", nullptr, Format::kPng16},
    {"r16", ".r16", Format::kLevel16},     {"f32", ".f32", Format::kFloat32},
    {"f64", ".f64", Format::kFloat64},
};

struct RenderOptions {
  std::string graph;
  std::string output;
  AreaOptions area;
  std::string gradient = "grey";
  std::string light;
  std::string format;
  std::string range;
  std::string file;
};

bool EndsWith(const std::string& text, const char* end) {
  const std::size_t length = std::strlen(end);
  return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

bool ChooseFormat(const RenderOptions& options, Format* format, Failure* failure) {
  for (const FormatName& entry : kFormats) {
    const bool named = options.format.empty()
                           ? entry.extension != nullptr && EndsWith(options.file, entry.extension)
                           : options.format == entry.name;
    if (named) {
      *format = entry.format;
      return true;
    }
  }
  *failure = Failure{kUsageWrong, "-o " + options.file +
                                      ": name a .png, .r16, .f32 or .f64 file, or give --format"};
  return false;
}

// --light: "default", or settings "name=value" separated by commas: the
// numbers of render::kLightSettings, scale or extent, model and color.
bool ParseLight(const std::string& text, const maps::MapView& map, render::Light* light,
                Failure* failure) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  double scale = nan, extent = nan;
  std::size_t start = 0;
  while (text != "default" && start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
    start = comma == std::string::npos ? text.size() + 1 : comma + 1;
    const std::size_t equals = item.find('=');
    const std::string name = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    std::string error;
    if (name == "color") {
      std::string rgb = value;
      for (char& c : rgb) c = c == '/' ? ',' : c;
      double colour[3];
      if (!ParseNumbers(rgb, 3, colour, &error)) {
        *failure =
            Failure{kUsageWrong, "--light: color must be RED/GREEN/BLUE, got '" + value + "'"};
        return false;
      }
      light->colour = render::Colour{colour[0], colour[1], colour[2], 255.0};
      continue;
    }
    if (name == "model") {
      int found = -1;
      for (int i = 0; render::kLightModels[i] != nullptr; ++i) {
        if (value == render::kLightModels[i]) found = i;
      }
      if (found < 0) {
        *failure = Failure{kUsageWrong,
                           "--light: model must be surface or noiseutils, got '" + value + "'"};
        return false;
      }
      light->formula = static_cast<render::LightFormula>(found);
      continue;
    }
    struct Range {
      double* target;
      double low;
      double high;
    } range{nullptr, 0.0, 0.0};
    for (const render::LightSetting& setting : render::kLightSettings) {
      if (name == setting.name) range = Range{&(light->*setting.member), setting.low, setting.high};
    }
    if (name == "scale") range = Range{&scale, render::kLightScaleLow, render::kLightScaleHigh};
    if (name == "extent") range = Range{&extent, render::kLightExtentLow, render::kLightExtentHigh};
    if (range.target == nullptr) {
      *failure = Failure{kUsageWrong,
                         "--light: expected default or NAME=VALUE,... of azimuth, elevation, "
                         "contrast, brightness, water, scale, extent, model and color, got '" +
                             item + "'"};
      return false;
    }
    double number = 0.0;
    if (!ParseNumbers(value, 1, &number, &error) || number < range.low || number > range.high) {
      *failure =
          Failure{kUsageWrong, "--light: " + name + " must be a number from " +
                                   CLI::detail::to_string(range.low) + " to " +
                                   CLI::detail::to_string(range.high) + ", got '" + value + "'"};
      return false;
    }
    *range.target = number;
  }
  if (const char* why = render::ResolveLightScale(light, map.width, map.height, scale, extent)) {
    *failure = Failure{kUsageWrong, std::string("--light: ") + why};
    return false;
  }
  return true;
}

bool WritePicture(const RenderOptions& options, const maps::MapView& map, Failure* failure) {
  std::vector<render::GradientStop> stops;
  if (!LoadGradient(options.gradient, &stops, failure)) return false;
  render::Light light;
  const bool lit = !options.light.empty();
  if (lit && !ParseLight(options.light, map, &light, failure)) return false;
  std::vector<unsigned char> pixels(noisebind::image::ImagePixelBytes(map.width, map.height), 0);
  noisebind::image::ImageBuffer image{map.width, map.height, pixels.data()};
  const render::ColourRendering rendering{stops.data(), stops.size(), lit ? &light : nullptr,
                                          options.area.seamless};
  render::RenderColours(map, rendering, &image);
  char reason[256];
  if (!noisebind::image::SaveImage(image, options.file.c_str(), reason, sizeof reason)) {
    *failure = Failure{kInputWrong, "cannot write '" + options.file + "': " + reason};
    return false;
  }
  return true;
}

bool WriteHeightmap(const RenderOptions& options, Format format, const maps::MapView& map,
                    Failure* failure) {
  double range[2];
  if (options.range.empty()) {
    maps::FiniteRange(map.values, map.size(), &range[0], &range[1]);
  } else {
    std::string error;
    if (!ParseNumbers(options.range, 2, range, &error) || !(range[0] < range[1])) {
      *failure = Failure{kUsageWrong,
                         "--range: expected LOW,HIGH, LOW below HIGH, got '" + options.range + "'"};
      return false;
    }
  }
  char reason[256];
  bool written = false;
  if (format == Format::kPng16) {
    written =
        render::SaveGreyPng16(map, range[0], range[1], options.file.c_str(), reason, sizeof reason);
  } else {
    const render::RawFormat raw = format == Format::kLevel16   ? render::RawFormat::kLevel16
                                  : format == Format::kFloat32 ? render::RawFormat::kFloat32
                                                               : render::RawFormat::kFloat64;
    written = render::SaveRaw(map, render::RawEncoding{raw, range[0], range[1]},
                              options.file.c_str(), reason, sizeof reason);
  }
  if (!written) *failure = Failure{kInputWrong, "cannot write '" + options.file + "': " + reason};
  return written;
}

int Run(const RenderOptions& options) {
  Failure failure{kDone, ""};
  maps::MapRequest request;
  Format format = Format::kPicture;
  if (!ChooseFormat(options, &format, &failure) ||
      !AreaRequest(options.area, "", "", &request, &failure)) {
    return Report(failure);
  }
  const bool levels = format == Format::kPng16 || format == Format::kLevel16;
  if (!options.range.empty() && !levels)
    return Report({kUsageWrong, "--range: png16 and r16 only"});
  if (format == Format::kPicture &&
      !noisebind::image::ImageSizeAllowed(request.width, request.height)) {
    return Report({kUsageWrong, "--size: too large a picture"});
  }
  std::string chosen;
  std::vector<double> values;
  if (!MapGraphOutput(options.graph, options.output, request, options.area.threads, &chosen,
                      &values, &failure)) {
    return Report(failure);
  }
  const maps::MapView map{request.width, request.height, values.data()};
  const bool written = format == Format::kPicture ? WritePicture(options, map, &failure)
                                                  : WriteHeightmap(options, format, map, &failure);
  return written ? kDone : Report(failure);
}

}  // namespace

VerbRun AddRender(CLI::App* app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* verb = app->add_subcommand(
      "render", "Maps an output of a graph file and writes it as a picture or a heightmap.");
  AddGraphArguments(verb, &options->graph, &options->output, "render");
  AddAreaOptions(verb, &options->area, "", true);
  std::string names;
  for (const std::string& name : GradientNames()) names += (names.empty() ? "" : ", ") + name;
  verb->add_option("--gradient", options->gradient,
                   "pictures: the colours, a name (" + names +
                       ", over -1 to 1) or a JSON file of stops [value, red, green, blue(, "
                       "alpha)]; grey by default")
      ->type_name("NAME|FILE");
  verb->add_option("--light", options->light,
                   "pictures: lit as a height field: default, or NAME=VALUE,... of azimuth, "
                   "elevation, contrast, brightness, scale, color=R/G/B")
      ->type_name("SETTINGS");
  verb->add_option("--format", options->format,
                   "picture (an RGB PNG), png16 (a 16-bit grey PNG), r16 (raw 16-bit levels), "
                   "f32 or f64 (raw floats); by default from FILE's extension: .png, .r16, "
                   ".f32, .f64")
      ->check(CLI::IsMember({"picture", "png16", "r16", "f32", "f64"}))
      ->type_name("FORMAT");
  verb->add_option("--range", options->range,
                   "png16 and r16: the values of the lowest and highest level (the map's "
                   "finite range by default)")
      ->type_name("LOW,HIGH");
  verb->add_option("-o", options->file, "the file to write, whole or not at all")
      ->required()
      ->type_name("FILE");
  return [options] { return Run(*options); };
}

}  // namespace noisebind::cli
