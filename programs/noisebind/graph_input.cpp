#include "programs/noisebind/graph_input.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace noisebind::cli {
namespace {

// Beyond this a file is surely no graph: the decoder refuses far less, and
// reading stops here rather than at the end of /dev/zero.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

bool ReadAll(std::FILE* file, std::string* text, std::string* error) {
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (text->size() + got > kMaxFileBytes) {
      *error = "larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
      return false;
    }
    text->append(buffer, got);
  }
  if (std::ferror(file) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  return true;
}

bool ReadFile(const std::string& path, std::string* text, std::string* error) {
  if (path == "-") return ReadAll(stdin, text, error);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = std::strerror(errno);
    return false;
  }
  const bool read = ReadAll(file, text, error);
  std::fclose(file);
  return read;
}

std::string OutputList(const graphfile::Graph& graph) {
  std::string list;
  for (const auto& output : graph.outputs) {
    if (!list.empty()) list += ", ";
    list += "'" + output.first + "'";
  }
  return list;
}

}  // namespace

std::string PlacedError(const std::string& path, const std::string& error) {
  const bool placed = !error.empty() && std::isdigit(static_cast<unsigned char>(error[0])) != 0;
  return path + (placed ? ":" : ": ") + error;
}

bool LoadGraph(const std::string& path, graphfile::Graph* graph, Failure* failure) {
  std::string text;
  std::string error;
  if (!ReadFile(path, &text, &error)) {
    *failure = Failure{kInputWrong, "cannot read '" + path + "': " + error};
    return false;
  }
  try {
    if (graphfile::Decode(text, graph, &error)) return true;
    *failure = Failure{kInputWrong, PlacedError(path, error), true};
  } catch (const std::exception&) {
    *failure = Failure{kInputWrong, PlacedError(path, "not enough memory"), true};
  }
  return false;
}

bool ChooseOutput(const std::string& path, const graphfile::Graph& graph, const std::string& name,
                  const objects::Node** node, std::string* chosen, Failure* failure) {
  if (name.empty()) {
    if (graph.outputs.size() != 1) {
      *failure = Failure{kUsageWrong, path + " has " + std::to_string(graph.outputs.size()) +
                                          " outputs (" + OutputList(graph) +
                                          "): choose one with --output"};
      return false;
    }
    *chosen = graph.outputs.front().first;
  } else {
    *chosen = name;
  }
  *node = graph.Output(*chosen);
  if (*node == nullptr) {
    *failure = Failure{kUsageWrong,
                       path + " has no output '" + name + "' (it has " + OutputList(graph) + ")"};
    return false;
  }
  std::string why;
  if (!(*node)->Evaluable(&why)) {
    *failure = Failure{kInputWrong, path + ": output '" + *chosen + "': " + why, true};
    return false;
  }
  return true;
}

}  // namespace noisebind::cli
