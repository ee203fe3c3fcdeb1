#pragma once
// Several files replaced together or not at all. Each file is first written in full to a
// temporary of its own beside its target; commit then syncs every temporary, renames them into
// place and syncs their folders. Until commit succeeds no target is touched, and a transaction
// that is abandoned or fails removes every temporary it made. Paths are file names in UTF-8
// (file_name.h).
#include <optional>
#include <string>
#include <vector>

namespace vuk {

class FileTransaction {
 public:
  FileTransaction() = default;
  ~FileTransaction();
  FileTransaction(const FileTransaction&) = delete;
  FileTransaction& operator=(const FileTransaction&) = delete;

  // Creates an empty temporary with a fresh short name in the folder of the file that `target`
  // names (a symbolic link is followed to the file it names, so that file is the one replaced)
  // and answers its path, for the caller to write the whole new file into. Nothing when the
  // folder refuses the temporary; failure() says why.
  std::optional<std::string> stage(const std::string& target);

  // Syncs every staged temporary, gives it the permission bits of the file it replaces and
  // renames all into place (on Windows replacing with write-through), then syncs their folders.
  // On failure the temporaries are removed and every target keeps its earlier contents: targets
  // already replaced are put back from hard-link backups taken before the first rename.
  bool commit();

  bool empty() const noexcept { return staged_.empty(); }

  // Why the last stage or commit failed, in words; empty after success.
  const std::string& failure() const noexcept { return failure_; }

 private:
  struct Staged {
    std::string target;     // the file replaced, symbolic links resolved
    std::string temporary;  // the new contents
    std::string backup;     // a second link to the old contents while committing, or empty
    bool targetExisted = false;
  };

  bool prepare(Staged& file);
  bool renameAll();
  void rollBack(std::size_t renamed);
  void removeLeftovers() noexcept;

  std::vector<Staged> staged_;
  std::string failure_;
  unsigned long long serial_ = 0;
};

// A name for a temporary or backup in `folder` ("" for the current one): a dot, "vuk", 16 hex
// digits and ".tmp", 24 bytes whatever the target's name, so every target that may exist has one.
std::string temporaryNameIn(const std::string& folder, unsigned long long unique);

// The folder part of a path ("" for a bare name) and the file that `path` names once symbolic
// links are followed (at most 40 of them; the path itself when it is not a link).
std::string folderOf(const std::string& path);
std::string resolveLinks(const std::string& path);

}  // namespace vuk
