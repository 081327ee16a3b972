// TriggerLine -- lines in a room that start conversations, ambushes and the end.
#include "world/TriggerLine.h"

#include "core/Runtime.h"
#include "core/SceneRequest.h"
#include "core/Tween.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "render/FadeTransition.h"

namespace LevelMap {

namespace {
constexpr float kCreditsFadeSeconds = 0.5f;
} // namespace

TriggerLine::TriggerLine(const Line2D& line, int32_t kind, int32_t room, int32_t conversation)
    : Line2D(line), triggerKind(kind), roomId(room), dialog(conversation) {}

bool TriggerLine::TryStartDialogue(bool checkDash) {
    LevelServices* level = LevelServices::current;
    if (level && level->DialogueRunning())
        return false;
    if (!(Runtime::Get().timeScale > kNormalTime))
        return false;
    if (checkDash && player && player->state == PlayerDash)
        return false;
    triggerKind = TriggerSpent;
    pending = false;
    if (level)
        level->StartDialogue(dialog);
    return true;
}

bool TriggerLine::Update(EntityList& entities, const WaveTable& waves) {
    if (!player) {
        for (Entity* e : entities) {
            if (e->kind == KindPlayer) {
                player = static_cast<Player*>(e);
                break;
            }
        }
    }
    if (pending && (triggerKind == TriggerDialog ||
                    (triggerKind == TriggerDialogNoEnemy && !HasLivingEnemy(entities)))) {
        if (TryStartDialogue(true))
            return false;
    }
    const Collider2D* body = player ? player->GetCollider() : nullptr;
    // Blade touches the line only while he stands in its room.
    if (!body || player->roomId != roomId || !body->TestLine(*this))
        return triggerKind != TriggerSpent;
    switch (triggerKind) {
    case TriggerDialogNoEnemy:
        if (HasLivingEnemy(entities))
            break;
        [[fallthrough]];
    case TriggerDialog:
        if (!TryStartDialogue(false))
            pending = true;
        break;
    case TriggerEnemy:
        triggerKind = TriggerSpent;
        for (Entity* e : entities) {
            const auto found = waves.find(e);
            if (e->kind == KindEnemy && (found == waves.end() ? 0 : found->second) == wave)
                e->attackDisabled = false;
        }
        break;
    case TriggerCredits:
        triggerKind = TriggerSpent;
        AddFloatTween(
            &FadeTransition::Instance().color[3], 1.0f, EaseOut,
            [] { RequestScene(SceneId::Credits); }, kCreditsFadeSeconds);
        break;
    default:
        break;
    }
    return triggerKind != TriggerSpent;
}

} // namespace LevelMap
