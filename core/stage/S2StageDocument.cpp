#include "stage/S2StageDocument.h"

#include <algorithm>

namespace zorp {

namespace {

constexpr uint8_t kNewSegment = 0x03; // straight, not mirrored

std::string RamMessage(const char* what, size_t needed, size_t limit)
{
    return std::string("The ") + what + " would need " + std::to_string(needed) + " bytes, but the game has room for " +
           std::to_string(limit) + ".";
}

} // namespace

S2StageDocument::S2StageDocument(S2LayoutBlock layouts, S2ObjectLists objects, S2RingTable team, S2RingTable alone)
    : layouts_(std::move(layouts)), objects_(std::move(objects)), team_(team), alone_(alone)
{
}

S2StageDocument::S2StageDocument(const S2StageDocument& other)
    : StageDocument(), layouts_(other.layouts_), objects_(other.objects_), team_(other.team_), alone_(other.alone_)
{
}

S2StageDocument& S2StageDocument::operator=(const S2StageDocument& other)
{
    layouts_ = other.layouts_;
    objects_ = other.objects_;
    team_ = other.team_;
    alone_ = other.alone_;
    Notify({DocumentChange::Kind::Document, 0, {}});
    return *this;
}

int S2StageDocument::SegmentCount(int stage) const
{
    auto s = static_cast<size_t>(stage);
    return static_cast<int>(std::max(layouts_.stages[s].size(), objects_.stages[s].lists.size()));
}

bool S2StageDocument::HasLayout(int stage, int segment) const
{
    return segment >= 0 && static_cast<size_t>(segment) < layouts_.stages[static_cast<size_t>(stage)].size();
}

bool S2StageDocument::HasList(int stage, int segment) const
{
    return segment >= 0 && static_cast<size_t>(segment) < objects_.stages[static_cast<size_t>(stage)].lists.size();
}

uint8_t S2StageDocument::SegmentByte(int stage, int segment) const
{
    return HasLayout(stage, segment) ? layouts_.stages[static_cast<size_t>(stage)][static_cast<size_t>(segment)]
                                     : kNewSegment;
}

const S2ObjectList* S2StageDocument::List(int stage, int segment) const
{
    return HasList(stage, segment) ? &objects_.stages[static_cast<size_t>(stage)].lists[static_cast<size_t>(segment)]
                                   : nullptr;
}

bool S2StageDocument::ValidRow(int stage, int segment) const
{
    return stage >= 0 && stage < kS2Stages && segment >= 0 && segment < SegmentCount(stage);
}

size_t S2StageDocument::ObjectBytes() const
{
    // The last stage's tail is padding the game never reads: it gives way
    // when the lists need the room.
    return objects_.Size() - objects_.stages[kS2Stages - 1].tail.size();
}

Bytes S2StageDocument::ObjectListBytes() const
{
    Bytes bytes = WriteS2ObjectLists(objects_);
    if (bytes.size() > kS2ObjectListRamLimit)
        bytes.resize(std::max(kS2ObjectListRamLimit, ObjectBytes()));
    return bytes;
}

std::string S2StageDocument::CheckObjectRoom(size_t extra) const
{
    size_t needed = ObjectBytes() + extra;
    return needed > kS2ObjectListRamLimit ? RamMessage("object lists", needed, kS2ObjectListRamLimit) : std::string();
}

std::string S2StageDocument::SetSegment(int stage, int segment, uint8_t type, bool mirrored)
{
    if (!ValidRow(stage, segment))
        return "There is no such segment.";
    if (type >= kS2SegmentTypes)
        return "A segment's type is 0 to 4.";
    Bytes& bytes = layouts_.stages[static_cast<size_t>(stage)];
    if (static_cast<size_t>(segment) >= bytes.size()) {
        S2LayoutBlock grown = layouts_;
        grown.stages[static_cast<size_t>(stage)].resize(static_cast<size_t>(segment) + 1, kNewSegment);
        size_t needed = WriteS2Layouts(grown).size();
        if (needed > kS2LayoutRamLimit)
            return RamMessage("segment layouts", needed, kS2LayoutRamLimit);
        bytes.resize(static_cast<size_t>(segment) + 1, kNewSegment);
    }
    bytes[static_cast<size_t>(segment)] = S2SegmentByte(type, mirrored);
    return {};
}

std::string S2StageDocument::SetMarker(int stage, int segment, S2Marker marker)
{
    if (!ValidRow(stage, segment))
        return "There is no such segment.";
    auto& lists = objects_.stages[static_cast<size_t>(stage)].lists;
    if (static_cast<size_t>(segment) >= lists.size()) {
        std::string room = CheckObjectRoom(static_cast<size_t>(segment) + 1 - lists.size());
        if (!room.empty())
            return room;
        lists.resize(static_cast<size_t>(segment) + 1);
    }
    S2ObjectList& list = lists[static_cast<size_t>(segment)];
    if (list.marker() != marker)
        list.terminator = S2MarkerByte(marker);
    return {};
}

std::string S2StageDocument::AddObject(int stage, int segment, const S2Object& object)
{
    if (!ValidRow(stage, segment))
        return "There is no such segment.";
    if (object.distance > kS2MaxDistance)
        return "An object's distance is 0 to 63.";
    auto& lists = objects_.stages[static_cast<size_t>(stage)].lists;
    size_t newLists = static_cast<size_t>(segment) < lists.size() ? 0 : static_cast<size_t>(segment) + 1 - lists.size();
    std::string room = CheckObjectRoom(2 + newLists);
    if (!room.empty())
        return room;
    if (newLists)
        lists.resize(static_cast<size_t>(segment) + 1);
    lists[static_cast<size_t>(segment)].objects.push_back(object);
    return {};
}

std::string S2StageDocument::MoveObject(int stage, int segment, int index, const S2Object& object)
{
    const S2ObjectList* list = List(stage, segment);
    if (!list || index < 0 || static_cast<size_t>(index) >= list->objects.size())
        return "There is no such object.";
    if (object.distance > kS2MaxDistance)
        return "An object's distance is 0 to 63.";
    objects_.stages[static_cast<size_t>(stage)].lists[static_cast<size_t>(segment)].objects[static_cast<size_t>(index)] =
        object;
    return {};
}

std::string S2StageDocument::RemoveObject(int stage, int segment, int index)
{
    const S2ObjectList* list = List(stage, segment);
    if (!list || index < 0 || static_cast<size_t>(index) >= list->objects.size())
        return "There is no such object.";
    auto& objects = objects_.stages[static_cast<size_t>(stage)].lists[static_cast<size_t>(segment)].objects;
    objects.erase(objects.begin() + index);
    return {};
}

std::string S2StageDocument::InsertSegment(int stage, int segment)
{
    if (stage < 0 || stage >= kS2Stages || segment < 0 || segment > SegmentCount(stage))
        return "There is no such segment.";
    auto s = static_cast<size_t>(stage);
    auto at = static_cast<size_t>(segment);
    bool intoLayout = at <= layouts_.stages[s].size();
    bool intoLists = at <= objects_.stages[s].lists.size();
    if (intoLayout) {
        S2LayoutBlock grown = layouts_;
        grown.stages[s].insert(grown.stages[s].begin() + segment, kNewSegment);
        size_t needed = WriteS2Layouts(grown).size();
        if (needed > kS2LayoutRamLimit)
            return RamMessage("segment layouts", needed, kS2LayoutRamLimit);
    }
    if (intoLists) {
        std::string room = CheckObjectRoom(1);
        if (!room.empty())
            return room;
    }
    if (intoLayout)
        layouts_.stages[s].insert(layouts_.stages[s].begin() + segment, kNewSegment);
    if (intoLists)
        objects_.stages[s].lists.insert(objects_.stages[s].lists.begin() + segment, S2ObjectList{});
    return {};
}

std::string S2StageDocument::DeleteSegment(int stage, int segment)
{
    if (!ValidRow(stage, segment))
        return "There is no such segment.";
    if (SegmentCount(stage) == 1)
        return "A stage keeps at least one segment.";
    auto s = static_cast<size_t>(stage);
    if (HasLayout(stage, segment))
        layouts_.stages[s].erase(layouts_.stages[s].begin() + segment);
    if (HasList(stage, segment))
        objects_.stages[s].lists.erase(objects_.stages[s].lists.begin() + segment);
    return {};
}

void S2StageDocument::SetRequirement(bool team, int stage, int part, uint8_t rings)
{
    (team ? team_ : alone_)[static_cast<size_t>(stage)][static_cast<size_t>(part)] = rings;
}

S2StageState S2StageDocument::State(int stage) const
{
    auto s = static_cast<size_t>(stage);
    return {layouts_.stages[s], objects_.stages[s], team_[s], alone_[s]};
}

void S2StageDocument::SetState(int stage, const S2StageState& state)
{
    auto s = static_cast<size_t>(stage);
    layouts_.stages[s] = state.segments;
    objects_.stages[s] = state.objects;
    team_[s] = state.team;
    alone_[s] = state.alone;
    Notify({DocumentChange::Kind::Stage, stage, {}});
}

S2StageEdit::S2StageEdit(S2StageDocument& document, int stage, S2StageState before, S2StageState after,
                         std::string text, int mergeKey)
    : document_(document), stage_(stage), before_(std::move(before)), after_(std::move(after)), text_(std::move(text)),
      mergeKey_(mergeKey)
{
}

bool S2StageEdit::MergeWith(const DocumentEdit& next)
{
    auto* edit = dynamic_cast<const S2StageEdit*>(&next);
    if (!edit || edit->mergeKey_ != mergeKey_ || edit->stage_ != stage_ || &edit->document_ != &document_)
        return false;
    after_ = edit->after_;
    return true;
}

S2StageCheck S2StageDocument::Check(int stage) const
{
    auto s = static_cast<size_t>(stage);
    return CheckS2Stage(objects_.stages[s], team_[s], alone_[s]);
}

} // namespace zorp
