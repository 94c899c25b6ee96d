// The link from a view or item viewer to the accessibility object made for it. The view or
// viewer holds one counted reference; when it goes away it tells the object (which then answers
// every question with a failure) and drops its reference, so a client that still holds the
// object never reaches freed memory.
#pragma once

namespace tb {

class TTBAccObjectLink {
 public:
  // The view or viewer is being destroyed.
  virtual void ClientIsDestroying() noexcept = 0;
  // Drops the client's reference.
  virtual void ReleaseLink() noexcept = 0;

 protected:
  ~TTBAccObjectLink() = default;
};

// Tells the object its client goes and forgets it.
inline void ReleaseAccObject(TTBAccObjectLink*& object) noexcept {
  TTBAccObjectLink* gone = object;
  object = nullptr;
  if (gone) {
    gone->ClientIsDestroying();
    gone->ReleaseLink();
  }
}

}  // namespace tb
