// The studio's codec over the graph-file engine (engine/graphfile).
#ifndef NOISEBIND_STUDIO_GRAPHFILE_CODEC_H
#define NOISEBIND_STUDIO_GRAPHFILE_CODEC_H

#include "programs/studio/graph_codec.h"

namespace noisebind::studio {

class GraphFileCodec final : public GraphCodec {
 public:
  std::string SchemaJson() const override;
  std::string EmptyDocument() const override;
  bool Decode(const std::string& text, const std::string& name,
              std::unique_ptr<DecodedGraph>* graph, std::string* error) const override;
  bool Canonical(const std::string& text, const std::string& name, std::string* out,
                 std::string* error) const override;
};

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_GRAPHFILE_CODEC_H
