#include "random_graph.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "engine/graph/curve_terrace_points.h"

namespace noisebind::objects::testing {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

template <class T>
T Pick(std::mt19937_64& rng, const std::vector<T>& values) {
  return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
}

double Pick(std::mt19937_64& rng, std::initializer_list<double> values) {
  return Pick(rng, std::vector<double>(values));
}

const std::vector<double>& EdgeCoordinates() {
  static const std::vector<double> values = {
      0.0,          -0.0,          1.0,           -1.0,          0.5,          1e-300,
      -1e-300,      1073741823.75, 1073741824.0,  -1073741824.0, 1073741824.5, -1073741825.5,
      2147483647.5, 2147483648.0,  -2147483649.0, 4294967296.25, 1e15,         -1e15,
      1e300,        -1e300,        kInf,          -kInf,         kNaN,
  };
  return values;
}

}  // namespace

Node& GraphMaker::Create(Kind kind) {
  m_nodes.emplace_back(CreateNode(kind));
  if (m_nodes.back() == nullptr) throw std::bad_alloc();
  return *m_nodes.back();
}

Node& GraphMaker::Make(Kind kind, int depth) {
  Node& node = Create(kind);
  Randomize(node);
  m_building.push_back(&node);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < node.SourceCount(); ++i) {
    Node* source = nullptr;
    if (m_nodes.size() > 1 && unit(m_rng) < 0.15) {
      // A node made earlier (never this one or a user of it, which would be
      // a cycle: SetSource refuses those, and a fresh source is made).
      source =
          m_nodes[std::uniform_int_distribution<std::size_t>(0, m_nodes.size() - 2)(m_rng)].get();
      // A node still being made above this one would close a cycle later.
      const bool building =
          std::find(m_building.begin(), m_building.end(), source) != m_building.end();
      if (!building && node.SetSource(i, source) == SourceStatus::kDone) continue;
    }
    // Generators at the depth limit, and a share of the sources above it.
    static const std::vector<Kind> generators = [] {
      std::vector<Kind> kinds;
      for (int k = 0; k < kKindCount; ++k) {
        if (ClassOf(static_cast<Kind>(k)).sourceCount == 0) kinds.push_back(static_cast<Kind>(k));
      }
      return kinds;
    }();
    const Kind next =
        depth <= 1 || unit(m_rng) < 0.4
            ? Pick(m_rng, generators)
            : static_cast<Kind>(std::uniform_int_distribution<int>(0, kKindCount - 1)(m_rng));
    if (node.SetSource(i, &Make(next, depth - 1)) != SourceStatus::kDone) {
      throw std::logic_error("a fresh source was refused");
    }
  }
  m_building.pop_back();
  return node;
}

Node& GraphMaker::Fresh(Kind kind) {
  Node& node = Create(kind);
  Randomize(node);
  return node;
}

Node& GraphMaker::MakeShared(Kind kind, int nodes) {
  std::vector<Node*> pool;
  for (int i = 0; i < 3; ++i) pool.push_back(&Make(Kind::kPerlin, 0));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto wire = [&](Node& node) {
    for (int s = 0; s < node.SourceCount(); ++s) {
      // Mostly the latest few, so that chains of shared nodes form.
      const std::size_t back =
          unit(m_rng) < 0.6 ? std::uniform_int_distribution<std::size_t>(1, 3)(m_rng)
                            : std::uniform_int_distribution<std::size_t>(1, pool.size())(m_rng);
      Node* source = pool[pool.size() - std::min(back, pool.size())];
      if (unit(m_rng) < 0.15) source = &Make(Kind::kPerlin, 0);
      if (node.SetSource(s, source) != SourceStatus::kDone) {
        throw std::logic_error("a source made before was refused");
      }
    }
    pool.push_back(&node);
  };
  for (int i = 3; i < nodes; ++i) {
    wire(Fresh(static_cast<Kind>(std::uniform_int_distribution<int>(0, kKindCount - 1)(m_rng))));
  }
  Node& root = Fresh(kind);
  wire(root);
  return root;
}

double GraphMaker::Reads(const Node& root) {
  // Reads of a node: the sum of its readers' reads, readers first.
  std::vector<const Node*> order;
  std::unordered_map<const Node*, int> pendingReaders;
  std::vector<const Node*> walk{&root};
  std::unordered_set<const Node*> seen{&root};
  while (!walk.empty()) {
    const Node* node = walk.back();
    walk.pop_back();
    for (int i = 0; i < node->SourceCount(); ++i) {
      const Node* source = node->source(i);
      ++pendingReaders[source];
      if (seen.insert(source).second) walk.push_back(source);
    }
  }
  std::unordered_map<const Node*, double> reads{{&root, 1.0}};
  std::vector<const Node*> ready{&root};
  double total = 0;
  while (!ready.empty()) {
    const Node* node = ready.back();
    ready.pop_back();
    total += reads[node];
    for (int i = 0; i < node->SourceCount(); ++i) {
      const Node* source = node->source(i);
      reads[source] += reads[node];
      if (--pendingReaders[source] == 0) ready.push_back(source);
    }
  }
  return total;
}

double GraphMaker::Number(const char* field) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double draw = unit(m_rng);
  if (std::strcmp(field, "frequency") == 0 && draw < 0.85) {
    return std::exp(std::uniform_real_distribution<double>(-5.0, 3.0)(m_rng));
  }
  if (std::strcmp(field, "lacunarity") == 0 && draw < 0.85) {
    return std::uniform_real_distribution<double>(1.0, 4.0)(m_rng);
  }
  if (draw < 0.8) return std::uniform_real_distribution<double>(-2.0, 2.0)(m_rng);
  if (draw < 0.9) return Pick(m_rng, {0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 90.0, 180.0});
  return Pick(m_rng, {1e-12, -1e-9, 1e6, -1e6, 1e9, 1e200, -1e300});
}

double GraphMaker::Integer(const char* field) {
  if (std::strcmp(field, "seed") == 0) {
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < 0.3) {
      return Pick(m_rng, {kMin, kMax, kMin + 1, kMax - 1, kMax - 3, 0.0, -1.0});
    }
    return std::uniform_real_distribution<double>(kMin, kMax)(m_rng);
  }
  // Octaves and roughness: mostly what maps use, now and then the most.
  if (std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < 0.05) return 30;
  return std::uniform_int_distribution<int>(1, 8)(m_rng);
}

void GraphMaker::Randomize(Node& node) {
  const ClassInfo& info = ClassOf(node.kind());
  std::vector<double> values;
  for (std::size_t f = 0; f < info.fieldCount; ++f) {
    const Field& field = info.fields[f];
    switch (field.type) {
      case FieldType::kNumber:
        values.push_back(Number(field.name));
        break;
      case FieldType::kInteger:
        values.push_back(Integer(field.name));
        break;
      case FieldType::kBoolean:
        values.push_back(std::uniform_int_distribution<int>(0, 1)(m_rng));
        break;
      case FieldType::kQuality:
        values.push_back(std::uniform_int_distribution<int>(0, 2)(m_rng));
        break;
    }
  }
  // Twice, so that a bound refused against the other's old value (lower
  // above the default upper) takes the second time; other refusals (lower
  // above upper) keep libnoise's defaults.
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t f = 0; f < info.fieldCount; ++f) SetField(node, info.fields[f], values[f]);
  }
  ControlPoints(node);
}

void GraphMaker::ControlPoints(Node& node) {
  const bool curve = node.kind() == Kind::kCurve;
  if (!curve && node.kind() != Kind::kTerrace) return;
  const std::size_t count = std::uniform_int_distribution<std::size_t>(curve ? 4 : 2, 9)(m_rng);
  std::vector<double> inputs, outputs;
  std::uniform_real_distribution<double> around(-1.6, 1.6);
  while (inputs.size() < count) {
    const double input = around(m_rng);
    if (std::find(inputs.begin(), inputs.end(), input) != inputs.end()) continue;
    inputs.push_back(input);
    outputs.push_back(around(m_rng));
  }
  const char* refused = curve ? SetCurvePoints(node, inputs.data(), outputs.data(), count)
                              : SetTerracePoints(node, inputs.data(), count);
  if (refused != nullptr) throw std::logic_error(refused);
}

Cloud GraphMaker::Points(std::size_t count, double edgeShare) {
  Cloud cloud;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double scale = Pick(m_rng, {1.0, 4.0, 50.0, 1e4, 1e7});
  std::uniform_real_distribution<double> ordinary(-scale, scale);
  for (std::vector<double>* axis : {&cloud.x, &cloud.y, &cloud.z}) {
    axis->resize(count);
    for (double& value : *axis) {
      value = unit(m_rng) < edgeShare ? Pick(m_rng, EdgeCoordinates()) : ordinary(m_rng);
    }
  }
  return cloud;
}

std::string GraphMaker::Describe(const Node& node, int depth) {
  std::ostringstream text;
  text.precision(17);
  text << node.name();
  const ClassInfo& info = ClassOf(node.kind());
  text << "{";
  for (std::size_t f = 0; f < info.fieldCount; ++f) {
    text << (f ? ", " : "") << info.fields[f].name << " = " << info.fields[f].get(node);
  }
  text << "}";
  if (node.SourceCount() > 0 && depth < 6) {
    text << "(";
    for (int i = 0; i < node.SourceCount(); ++i) {
      text << (i ? ", " : "") << Describe(*node.source(i), depth + 1);
    }
    text << ")";
  }
  return text.str();
}

}  // namespace noisebind::objects::testing
