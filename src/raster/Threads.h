#pragma once

#include <algorithm>
#include <thread>

namespace raster {

// How many threads one photo's pixel work (scaling, turning, colour conversion) spreads over
// when started on this thread. Every core, unless this thread is one of several that each
// work on a photo of their own (a run of many photos): there every photo keeps to its
// thread, and the photos side by side fill the cores without threads fighting over them.
inline thread_local int tPhotoThreads = 0;

inline int photoThreads() {
    return tPhotoThreads > 0 ? tPhotoThreads
                             : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// For the lifetime of this object, the photos of the calling thread keep to that thread.
class OneThreadPerPhoto {
  public:
    OneThreadPerPhoto() : before_(tPhotoThreads) { tPhotoThreads = 1; }
    ~OneThreadPerPhoto() { tPhotoThreads = before_; }
    OneThreadPerPhoto(const OneThreadPerPhoto&) = delete;
    OneThreadPerPhoto& operator=(const OneThreadPerPhoto&) = delete;

  private:
    int before_;
};

}  // namespace raster
