// Strings of glyphs sliding along one path like beads on a wire: gravity along
// the path, fixed spacing inside a string, clearance between strings, bounces
// off the path ends and off fingers, which also grab and drag strings.
#pragma once

#include <memory>
#include <vector>

#include "fingers/finger_tracker.h"
#include "fingers/id_counters.h"
#include "paths/followable_path.h"
#include "strings/client_data.h"
#include "strings/glyph_string.h"
#include "strings/step_parameters.h"
#include "strings/stop.h"

namespace inkvane {

constexpr int kRelaxationPasses = 200;  // passes per step
constexpr float kMaxDragSpeed = 1935.0f;  // pixels per second
constexpr float kMaxDragStep = 32.25f;    // pixels per step: the speed limit at 60 steps per second

class StringSet final : public FingerTrackerDelegate {
 public:
  using StopList = std::vector<std::unique_ptr<Stop>>;

  // `idCounters` is the application's shared pair and must outlive the set (a
  // null pointer gives the set counters of its own). The path ends become stops
  // at -margin and at the path's length + margin; `gap` is the clearance, in
  // pixels, kept between consecutive strings.
  StringSet(IdCounters* idCounters, FollowablePathRef path, float margin, float gap);
  StringSet(const StringSet&) = delete;
  StringSet& operator=(const StringSet&) = delete;
  ~StringSet() = default;

  // Appends a string laid out by its creator, after the others along the path;
  // gives it the next string id and its tangents. A string without glyphs, or
  // whose count exceeds its arrays, is refused and destroyed (returns false).
  bool addString(std::unique_ptr<String> string);

  // One animation step under gravity (gx, gy), in window directions.
  void update(float gx, float gy, const StepParameters& parameters);

  // The tracker's reports: fingers become stops at the next step.
  void fingerAdded(Finger* finger) override;
  void fingerUpdated(Finger* finger) override;
  void fingerRemoved(Finger* finger) override;

  int count() const { return count_; }
  const std::vector<std::unique_ptr<String>>& strings() const { return strings_; }
  // Sorted by position between steps, the front path end first and the back one last.
  const StopList& stops() const { return stops_; }
  FingerTracker& tracker() { return tracker_; }
  const FollowablePathRef& path() const { return path_; }
  float gap() const { return gap_; }
  StringSetData* data() const { return data_.get(); }
  void setData(std::unique_ptr<StringSetData> data) { data_ = std::move(data); }

 private:
  // A string as the relaxation passes see it, gathered once per step.
  struct RelaxedString {
    float* positions;
    const float* spacings;
    int count;
    float length;
    float leftBound;   // pixels; -infinity when the left stop does not bounce
    float rightBound;  // pixels; +infinity when the right stop does not bounce
    bool held;
    float heldPosition;
  };

  // Stop maintenance, the first stage of a step.
  void maintainStops();
  void attachNewFingers();
  void removePassingFingers();
  void findNeighbourStops();
  void sortStopsForGrabbing();
  void grabStrings();
  bool grabPass();
  void releaseStrings();
  void restoreStopOrder();
  void dragHeldStrings();
  float dragLimitBackward(std::size_t index, const Stop& finger, float target);
  float dragLimitForward(std::size_t index, const Stop& finger, float target);
  const Stop& nearestStop(const Stop& finger, int pointerId, bool before);

  // Motion stages.
  void applyForces(float gx, float gy, const StepParameters& parameters);
  void integrate(const StepParameters& parameters);
  void relax();
  static void settle(RelaxedString& string);
  void keepPositionsFinite();
  void updateTangents(String& string) const;

  // Stop bookkeeping.
  Stop* findFingerStop(int fingerId);
  // Destroys every doomed stop, after clearing what strings and other stops
  // still know of it.
  void removeDoomedStops();

  int count_ = 0;
  std::vector<std::unique_ptr<String>> strings_;
  IdCounters ownCounters_{};
  IdCounters* idCounters_;
  FingerTracker tracker_;
  StopList stops_;
  float gap_;
  FollowablePathRef path_;
  std::unique_ptr<StringSetData> data_;

  // Per pair of neighbouring strings (index of the later one): the shares of
  // an overlap that the earlier (back) and the later (forward) string take.
  std::vector<float> backShares_;
  std::vector<float> forwardShares_;
  std::vector<RelaxedString> relaxed_;
  StopList stopScratch_;
  std::vector<const Stop*> visitedScratch_;
};

}  // namespace inkvane
