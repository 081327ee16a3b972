// DialogNPC -- characters who talk.
#include "entities/DialogNPC.h"

#include "core/Runtime.h"
#include "entities/LevelServices.h"
#include "render/LightedAnimation2D.h"

DialogNPC::DialogNPC(int32_t room, Vec2 position, Vec2 size, const std::string& texture,
                     int32_t frames, float frameDelay, int32_t conversation, bool flip,
                     bool automatic)
    : DialogNPC(room, position, size, LoadBody(texture, frames, frameDelay), LoadPrompt(),
                conversation, flip, automatic) {}

DialogNPC::DialogNPC(int32_t room, Vec2 position, Vec2 size, LightedAnimation2D* body,
                     const Prompt& prompt, int32_t conversation, bool flip, bool automatic)
    : NPC(room, automatic ? 0u : kTalkInput, body, prompt), dialog(conversation) {
    Place(position, size, flip, kBodyRadius);
}

void DialogNPC::Interact(Player& /*player*/) {
    LevelServices* level = LevelServices::current;
    if (!level || level->DialogueRunning() || !(Runtime::Get().timeScale > 0.95f))
        return;
    level->StartDialogue(dialog);
    if (IsAutomatic())
        TalkOnlyWhenAsked();
}
