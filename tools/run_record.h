// What the running command has written, so that a failed or interrupted run
// leaves nothing half-done and a re-run leaves nothing stale.
//
// - Temporary files are noted from before they are created until they are
//   renamed or removed; Undo removes those still there.
// - Folders the run made are removed by Undo once emptied of the files the run
//   wrote into them (a folder holding anything else stays).
// - A managed folder keeps a manifest (".zanhost-files", one "SIZE PATH" per
//   line, the path relative to the folder) of the files zanhost wrote there. Commit removes
//   the files of the earlier manifest that this run did not write again and
//   records this run's files; Undo records both lists, so every file zanhost
//   wrote there stays known. Nothing else is ever removed: only regular files
//   of the recorded size, by plain relative names inside the folder.
//
// One record per process (RunRecord::Get); every member is thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace zanhost::cli {

constexpr const char kManifestName[] = ".zanhost-files";

// Relative path -> size in bytes.
using Manifest = std::map<std::string, uintmax_t>;

class RunRecord {
 public:
  static RunRecord &Get();

  void NoteTemporary(const std::string &path);
  void ForgetTemporary(const std::string &path);
  // Renames the temporary file into place and forgets it, as one step
  // against Undo; false (with the reason in `error`) when the rename fails.
  bool MoveIntoPlace(const std::string &temporary, const std::string &path, std::string &error);
  void NoteWritten(const std::string &path);
  void NoteCreatedFolder(const std::string &path);
  // Reads the folder's earlier manifest; its files count as zanhost's.
  void ManageFolder(const std::string &folder);

  // The run succeeded.
  void Commit();
  // The run failed or was interrupted. Also what an interrupt calls; once
  // started, the record refuses new temporary files.
  void Undo();

 private:
  RunRecord() = default;
  void WriteManifests(bool keepEarlier);

  std::mutex mutex_;
  bool undone_ = false;
  std::set<std::string> temporaries_;
  std::vector<std::string> written_;
  std::vector<std::string> createdFolders_;
  // Folder -> the relative paths of its earlier manifest.
  std::map<std::string, Manifest> managed_;
};

}  // namespace zanhost::cli
