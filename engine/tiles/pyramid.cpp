#include "engine/tiles/pyramid.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <sstream>

#include "engine/image/atomic_file.h"

namespace noisebind::tiles {
namespace {

bool WriteBytes(std::FILE* file, const void* data, char* reason, std::size_t reasonSize) noexcept {
  const auto* bytes = static_cast<const std::string*>(data);
  if (std::fwrite(bytes->data(), 1, bytes->size(), file) == bytes->size()) return true;
  std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
  return false;
}

// The folder and each one above it; one already there (another job's)
// is fine.
bool MakeFolders(const std::string& path, std::string* error) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      *error = "cannot make folder " + part + ": " + std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) return true;
  }
}

// The whole file, or false when it cannot be read.
bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  if (!in.good() && !in.eof()) return false;
  *bytes = text.str();
  return true;
}

bool IsFile(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// "z/x/.y.png.tmp": the one temporary a writer of tile z/x/y.png uses.
std::string TemporaryName(const TileAddress& tile) {
  return "." + std::to_string(tile.y) + ".png.tmp";
}

std::string TileFolder(const std::string& folder, const TileAddress& tile) {
  return folder + "/" + std::to_string(tile.level) + "/" + std::to_string(tile.x);
}

// Visits every tile of the share in pyramid order; stops at the first
// `visit` that returns false.
template <class Visit>
bool ForShare(const PyramidPlan& plan, const JobShare& job, const TileProgress& progress,
              Visit visit) {
  const std::uint64_t total = TileCount(plan.grid, plan.fromLevel, plan.toLevel);
  const std::uint64_t mine = total / job.count + (job.index < total % job.count ? 1 : 0);
  std::uint64_t done = 0;
  for (std::uint64_t index = job.index; index < total; index += job.count) {
    if (!visit(TileAt(plan.grid, plan.fromLevel, index))) return false;
    if (progress) progress(++done, mine);
  }
  return true;
}

bool CheckMetadata(const std::string& folder, const std::string& expected, bool* present,
                   std::string* error) {
  const std::string path = folder + "/" + kMetadataName;
  std::string existing;
  *present = IsFile(path) && ReadFile(path, &existing);
  if (*present && existing != expected) {
    *error = path +
             " describes another pyramid (another graph or other settings): "
             "write this one into another folder";
    return false;
  }
  return true;
}

bool WriteTiles(const maps::PointSource& source, const PyramidPlan& plan, const std::string& folder,
                const JobShare& job, unsigned threads, const TileProgress& progress,
                WriteReport* report, std::string* error) {
  const std::string metadata = MetadataText(plan);
  bool present = false;
  if (!MakeFolders(folder, error) || !CheckMetadata(folder, metadata, &present, error))
    return false;
  char reason[256];
  if (!present &&
      !noisebind::image::WriteFileAtomically((folder + "/" + kMetadataName).c_str(), WriteBytes,
                                             &metadata, reason, sizeof reason)) {
    *error = folder + "/" + kMetadataName + ": " + reason;
    return false;
  }
  std::string bytes;
  return ForShare(plan, job, progress, [&](const TileAddress& tile) {
    const std::string tileFolder = TileFolder(folder, tile);
    const std::string temporary = TemporaryName(tile);
    // Only this job writes this tile: a temporary here is a killed run's.
    if (unlink((tileFolder + "/" + temporary).c_str()) == 0) ++report->removedTemporaries;
    const std::string path = folder + "/" + TilePath(tile);
    if (IsFile(path)) {
      ++report->skipped;
      return true;
    }
    if (!MakeTile(source, plan.grid, tile, plan.tileSize, plan.format, plan.style, threads, &bytes,
                  error) ||
        !MakeFolders(tileFolder, error)) {
      *error = TilePath(tile) + ": " + *error;
      return false;
    }
    if (!noisebind::image::WriteFileAtomicallyVia(path.c_str(), temporary.c_str(), WriteBytes,
                                                  &bytes, reason, sizeof reason)) {
      *error = path + ": " + reason;
      return false;
    }
    ++report->written;
    return true;
  });
}

bool VerifyTiles(const maps::PointSource& source, const PyramidPlan& plan,
                 const std::string& folder, const JobShare& job, unsigned threads,
                 const TileProgress& progress, VerifyReport* report, std::string* error) {
  bool present = false;
  if (!CheckMetadata(folder, MetadataText(plan), &present, error)) return false;
  if (!present) {
    *error = folder + "/" + kMetadataName + " is missing: not a pyramid, or not begun";
    return false;
  }
  std::string expected, found;
  return ForShare(plan, job, progress, [&](const TileAddress& tile) {
    ++report->checked;
    const std::string name = TilePath(tile);
    if (access((TileFolder(folder, tile) + "/" + TemporaryName(tile)).c_str(), F_OK) == 0)
      report->leftovers.push_back(std::to_string(tile.level) + "/" + std::to_string(tile.x) + "/" +
                                  TemporaryName(tile));
    if (!IsFile(folder + "/" + name) || !ReadFile(folder + "/" + name, &found)) {
      report->missing.push_back(name);
      return true;
    }
    if (!MakeTile(source, plan.grid, tile, plan.tileSize, plan.format, plan.style, threads,
                  &expected, error)) {
      *error = name + ": " + *error;
      return false;
    }
    if (found != expected) report->damaged.push_back(name);
    return true;
  });
}

// Runs `work`, turning anything thrown into a failure.
template <class Work>
bool Guarded(std::string* error, Work work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    *error = "not enough memory";
  } catch (const std::exception& e) {
    *error = e.what();
  }
  return false;
}

}  // namespace

bool WritePyramid(const maps::PointSource& source, const PyramidPlan& plan,
                  const std::string& folder, const JobShare& job, unsigned threads,
                  const TileProgress& progress, WriteReport* report, std::string* error) {
  return Guarded(error, [&] {
    return WriteTiles(source, plan, folder, job, threads, progress, report, error);
  });
}

bool VerifyPyramid(const maps::PointSource& source, const PyramidPlan& plan,
                   const std::string& folder, const JobShare& job, unsigned threads,
                   const TileProgress& progress, VerifyReport* report, std::string* error) {
  return Guarded(error, [&] {
    return VerifyTiles(source, plan, folder, job, threads, progress, report, error);
  });
}

}  // namespace noisebind::tiles
