// Graph files from anywhere: each kind of bad document is refused with one
// line that names the place, and leaves nothing built.
#include <gtest/gtest.h>

#include <string>

#include "engine/graphfile/graph_file.h"
#include "random_graph.h"

namespace noisebind::objects::testing {
namespace {

using graphfile::Decode;
using graphfile::Graph;

std::string Doc(const std::string& nodes, const std::string& outputs = R"("main": "p")") {
  return R"({"format": "noisebind-graph", "version": 1, "nodes": [)" + nodes +
         R"(], "outputs": {)" + outputs + "}}";
}

const std::string kP = R"({"id": "p", "class": "Perlin"})";

std::string With(const std::string& id, const std::string& cls, const std::string& rest) {
  return R"({"id": ")" + id + R"(", "class": ")" + cls + "\"" + rest + "}";
}

std::string Fields(const std::string& cls, const std::string& fields,
                   const std::string& sources = "") {
  return With(
      "p", cls,
      (sources.empty() ? "" : ", \"sources\": " + sources) + ", \"fields\": {" + fields + "}");
}

std::string Chain(int length) {
  std::string nodes = kP;
  for (int i = 1; i <= length; ++i) {
    nodes += ", " + With("x" + std::to_string(i), "Abs",
                         ", \"sources\": [\"" +
                             (i == 1 ? std::string("p") : "x" + std::to_string(i - 1)) + "\"]");
  }
  return Doc(nodes, "\"main\": \"x" + std::to_string(length) + "\"");
}

std::string Many(std::size_t count, const std::string& item) {
  std::string list;
  for (std::size_t i = 0; i < count; ++i) list += (i ? ", " : "") + item;
  return list;
}

struct Row {
  const char* what;
  std::string document;
  const char* error;
};

TEST(GraphFileRefusals, EachBadDocumentNamesItsPlace) {
  const std::string two = R"({"id": "q", "class": "Perlin"})";
  const std::vector<Row> rows = {
      {"empty text", "",
       "1:1: syntax error while parsing value - unexpected end of input; expected '[', '{', or a "
       "literal"},
      {"cut short", R"({"format": )",
       "1:12: syntax error while parsing value - unexpected end of input; expected '[', '{', or a "
       "literal"},
      {"trailing text", Doc(kP) + "\n x",
       "2:2: syntax error while parsing value - invalid literal; last read: '\"p\"}}<U+000A> x'; "
       "expected end of input"},
      {"two documents", Doc(kP) + Doc(kP),
       "1:113: syntax error while parsing value - unexpected '{'; expected end of input"},
      {"longer than the limit", std::string(graphfile::kMaxDocumentBytes + 1, ' '),
       "the document is longer than 4194304 bytes"},
      {"nested too deep", Doc(Fields("Curve", R"("points": [[[[[[1]]]]]])")),
       "the document nests lists and objects deeper than 8 levels"},
      {"key given twice", Doc(R"({"id": "p", "class": "Perlin", "class": "Billow"})"),
       "the key 'class' is given twice in one object"},
      {"not an object", "[1]", "the document must be an object, got array"},
      {"another format", R"({"format": "other", "version": 1})",
       "not a graph file: 'format' must be \"noisebind-graph\""},
      {"no format", R"({"version": 1})", "not a graph file: 'format' must be \"noisebind-graph\""},
      {"unknown key at the top", R"({"format": "noisebind-graph", "version": 1, "extra": 1})",
       "the document: unknown key 'extra'"},
      {"no version", R"({"format": "noisebind-graph"})", "the document has no 'version'"},
      {"version as text", R"({"format": "noisebind-graph", "version": "1"})",
       "'version' must be a whole number from 1, got string '1'"},
      {"fractional version", R"({"format": "noisebind-graph", "version": 1.5})",
       "'version' must be a whole number from 1, got 1.5"},
      {"version 1.5e0", R"({"format": "noisebind-graph", "version": 1.5e0})",
       "'version' must be a whole number from 1, got 1.5"},
      {"version 0", R"({"format": "noisebind-graph", "version": 0})",
       "'version' must be a whole number from 1, got 0"},
      {"newer version", R"({"format": "noisebind-graph", "version": 2})",
       "the document is of version 2 of the format, newer than 1, the newest this noisebind reads"},
      {"no nodes", R"({"format": "noisebind-graph", "version": 1})", "the document has no 'nodes'"},
      {"nodes not a list", R"({"format": "noisebind-graph", "version": 1, "nodes": {}})",
       "'nodes' must be a list, got object"},
      {"too many nodes", Doc(Many(graphfile::kMaxNodes + 1, "1")),
       "the document has more than 10000 nodes"},
      {"node not an object", Doc("3"), "node 1: must be an object, got 3"},
      {"no id", Doc(R"({"class": "Perlin"})"), "node 1: no 'id'"},
      {"id not text", Doc(R"({"id": 7, "class": "Perlin"})"),
       "node 1: 'id' must be a string, got 7"},
      {"empty id", Doc(R"({"id": "", "class": "Perlin"})"),
       "node 1: the id must be from 1 to 128 bytes"},
      {"id too long", Doc(R"({"id": ")" + std::string(129, 'a') + R"(", "class": "Perlin"})"),
       "node 1: the id must be from 1 to 128 bytes"},
      {"id given twice", Doc(kP + ", " + kP), "node 'p': the id is given to nodes 1 and 2"},
      {"unknown node key", Doc(With("p", "Perlin", R"(, "colour": 1)")),
       "node 'p': unknown key 'colour'"},
      {"no class", Doc(R"({"id": "p"})"), "node 'p': no 'class'"},
      {"class not text", Doc(R"({"id": "p", "class": null})"),
       "node 'p': 'class' must be a string, got null"},
      {"unknown class", Doc(R"({"id": "p", "class": "Perlinn"})"),
       "node 'p': unknown class 'Perlinn'"},
      {"fields not an object", Doc(With("p", "Perlin", R"(, "fields": 1)")),
       "node 'p': 'fields' must be an object, got 1"},
      {"unknown field", Doc(Fields("Perlin", R"("octave": 3)")),
       "node 'p': Perlin has no field 'octave'"},
      {"points of a class without", Doc(Fields("Perlin", R"("points": [])")),
       "node 'p': Perlin has no field 'points'"},
      {"number as text", Doc(Fields("Perlin", R"("frequency": "2")")),
       "node 'p': Perlin.frequency must be a number, got string '2'"},
      {"number beyond the doubles", Doc(Fields("Perlin", R"("frequency": 1e999)")),
       "number overflow parsing '1e999'"},
      {"octaves above the range", Doc(Fields("Perlin", R"("octaves": 31)")),
       "node 'p': Perlin.octaves must be an integer from 1 to 30, got 31"},
      {"fractional octaves", Doc(Fields("Perlin", R"("octaves": 2.5)")),
       "node 'p': Perlin.octaves must be an integer from 1 to 30, got 2.5"},
      {"seed beyond 32 bits", Doc(Fields("Perlin", R"("seed": 2147483648)")),
       "node 'p': Perlin.seed must be an integer from -2147483648 to 2147483647, got 2147483648"},
      {"unknown quality", Doc(Fields("Perlin", R"("quality": "good")")),
       "node 'p': Perlin.quality must be 'fast', 'standard' or 'best', got string 'good'"},
      {"quality as a number", Doc(Fields("Perlin", R"("quality": 1)")),
       "node 'p': Perlin.quality must be 'fast', 'standard' or 'best', got 1"},
      {"boolean as a number", Doc(Fields("Voronoi", R"("distance": 1)")),
       "node 'p': Voronoi.distance must be true or false, got 1"},
      {"bounds the wrong way",
       Doc(kP + ", " +
               With("c", "Clamp", R"(, "sources": ["p"], "fields": {"lower": 2, "upper": 2})"),
           R"("main": "c")"),
       "node 'c': Clamp.lower must be below upper, got 2"},
      {"sources not a list", Doc(With("p", "Abs", R"(, "sources": "q")")),
       "node 'p': 'sources' must be a list, got string 'q'"},
      {"too few sources", Doc(With("p", "Add", R"(, "sources": [null])")),
       "node 'p': Add takes 2 sources, got 1"},
      {"sources of a generator", Doc(With("p", "Perlin", R"(, "sources": [null])")),
       "node 'p': Perlin takes 0 sources, got 1"},
      {"source not an id", Doc(With("p", "Abs", R"(, "sources": [1])")),
       "node 'p': source 1 must be a node's id or null, got 1"},
      {"dangling source", Doc(With("p", "Add", R"(, "sources": [null, "q"])")),
       "node 'p': source 2 'q' is no node's id"},
      {"a cycle",
       Doc(With("p", "Abs", R"(, "sources": ["q"])") + ", " +
           With("q", "Abs", R"(, "sources": ["p"])")),
       "node 'p': its sources lead back to it, a cycle"},
      {"its own source", Doc(With("p", "Abs", R"(, "sources": ["p"])")),
       "node 'p': its sources lead back to it, a cycle"},
      {"deeper than the engine", Chain(1000),
       "node 'x1000': the graph is deeper than 1000 modules"},
      {"points not a list", Doc(Fields("Curve", R"("points": 1)", "[null]")),
       "node 'p': Curve.points must be a list of [input, output] pairs, got 1"},
      {"a point not a pair", Doc(Fields("Curve", R"("points": [[0, 1], 2])", "[null]")),
       "node 'p': Curve.points must be a list of [input, output] pairs, item 2 is 2"},
      {"a point of three", Doc(Fields("Curve", R"("points": [[0, 1, 2]])", "[null]")),
       "node 'p': Curve.points must be a list of [input, output] pairs, item 1 is a list of 3"},
      {"a point of text", Doc(Fields("Curve", R"("points": [[0, "1"]])", "[null]")),
       "node 'p': Curve.points must be a list of [input, output] pairs, item 1 is [0, string '1']"},
      {"the same input twice", Doc(Fields("Curve", R"("points": [[0, 1], [0, 2]])", "[null]")),
       "node 'p': Curve.points has the same input twice"},
      {"terrace values not numbers", Doc(Fields("Terrace", R"("points": [0, "1"])", "[null]")),
       "node 'p': Terrace.points must be a list of numbers, item 2 is string '1'"},
      {"the same value twice", Doc(Fields("Terrace", R"("points": [0, 0])", "[null]")),
       "node 'p': Terrace.points has the same value twice"},
      {"too many points",
       Doc(Fields("Terrace", R"("points": [)" + Many(1025, "0") + "]", "[null]")),
       "node 'p': Terrace.points would be more than 1024 control points"},
      {"no outputs key", R"({"format": "noisebind-graph", "version": 1, "nodes": []})",
       "the document has no 'outputs'"},
      {"outputs not an object", Doc(kP, "").replace(Doc(kP, "").find("{}"), 2, "\"main\""),
       "'outputs' must be an object, got string 'main'"},
      {"no outputs", Doc(kP, ""), "the document has no outputs"},
      {"output not an id", Doc(kP, R"("main": 1)"), "output 'main': must be a node's id, got 1"},
      {"dangling output", Doc(kP, R"("main": "q")"), "output 'main': 'q' is no node's id"},
      {"empty output name", Doc(kP, R"("": "p")"), "output '': the name must not be empty"},
      {"output name with a #", Doc(kP, R"("a#1": "p")"),
       "output 'a#1': the name has a '#', which marks the ids noisebind makes up"},
  };
  for (const Row& row : rows) {
    Graph graph;
    std::string error;
    EXPECT_FALSE(Decode(row.document, &graph, &error)) << row.what;
    EXPECT_EQ(error, row.error) << row.what;
    EXPECT_TRUE(graph.nodes.empty() && graph.outputs.empty()) << row.what;
  }
}

// What a person or another tool may write is read: whole numbers as 4.0,
// fields and empty lists left out, sources named before their nodes.
TEST(GraphFileRefusals, LenientWhereNothingIsLost) {
  Graph graph;
  std::string error;
  ASSERT_TRUE(Decode(R"({"format": "noisebind-graph", "version": 1.0, "nodes": [
      {"id": "a", "class": "Abs", "sources": ["p"]},
      {"id": "p", "class": "Perlin", "fields": {"octaves": 4.0, "seed": -2e3}}],
      "outputs": {"main": "a"}})",
                     &graph, &error))
      << error;
  const Node* perlin = graph.Output("main")->source(0);
  EXPECT_EQ(perlin->label(), "p");
  ASSERT_EQ(graph.ids.size(), 2u);
  EXPECT_EQ(graph.ids[0], "p") << "sources first";
  EXPECT_EQ(graph.nodes[0].get(), perlin);
  EXPECT_EQ(FindField(ClassOf(Kind::kPerlin), "octaves")->get(*perlin), 4.0);
  EXPECT_EQ(FindField(ClassOf(Kind::kPerlin), "seed")->get(*perlin), -2000.0);
  EXPECT_EQ(FindField(ClassOf(Kind::kPerlin), "frequency")->get(*perlin), 1.0);
}

TEST(GraphFileRefusals, EncodeRefusesNamesItCannotWrite) {
  const OwnedNode a(CreateNode(Kind::kPerlin));
  const OwnedNode b(CreateNode(Kind::kPerlin));
  const OwnedNode add(CreateNode(Kind::kAdd));
  add->SetSource(0, a.get());
  add->SetSource(1, b.get());
  const auto named = [](std::string first, std::string second) {
    return [=](const Node& node) {
      return node.kind() == Kind::kAdd ? "" : node.label().empty() ? first : second;
    };
  };
  b->SetLabel("b");
  struct EncodeRow {
    const char* what;
    std::vector<graphfile::Output> outputs;
    std::function<std::string(const Node&)> idOf;
    const char* error;
  };
  const std::vector<EncodeRow> rows = {
      {"no outputs", {}, named("a", "b"), "there are no outputs to write"},
      {"two nodes of one name", {{"main", add.get()}}, named("b", "b"), "two nodes are named 'b'"},
      {"a name with a #",
       {{"main", add.get()}},
       named("a#2", "b"),
       "a Perlin is named 'a#2', which has a '#', which marks the ids noisebind makes up"},
      {"an empty output name",
       {{"", add.get()}},
       named("a", "b"),
       "the output name '' must not be empty"},
      {"two outputs of one name",
       {{"x", a.get()}, {"x", b.get()}},
       named("a", "b"),
       "two outputs are named 'x'"},
      {"a name not UTF-8",
       {{"main", add.get()}},
       named("\xff", "b"),
       "a Perlin is named '\xff', which is not UTF-8 text"},
  };
  for (const EncodeRow& row : rows) {
    std::string text, error;
    EXPECT_FALSE(graphfile::Encode(row.outputs, row.idOf, {}, &text, &error)) << row.what;
    EXPECT_EQ(error, row.error) << row.what;
  }
  // A graph deeper than the decoder takes is not written.
  std::vector<OwnedNode> chain;
  chain.emplace_back(CreateNode(Kind::kPerlin));
  for (int i = 0; i < kMaxGraphDepth; ++i) {
    chain.emplace_back(CreateNode(Kind::kAbs));
    chain.back()->SetSource(0, chain[chain.size() - 2].get());
  }
  std::string text, error;
  EXPECT_FALSE(graphfile::Encode({{"deep", chain.back().get()}}, named("", ""), {}, &text, &error));
  EXPECT_EQ(error, "output 'deep': the graph is deeper than 1000 modules");
}

}  // namespace
}  // namespace noisebind::objects::testing
