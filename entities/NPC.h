// NPC.h -- a friendly character of a room that Blade can talk to or use.
// When Blade stands close, a prompt pops up above it showing the input to
// press (the E key, or the pad's X while a pad is in use); pressing it calls
// Interact. An automatic character needs no input: it acts by itself while
// Blade stands near, then again after three seconds without a conversation
// (a talking one speaks by itself once, then waits to be asked).
//
// Friendly characters cannot be hurt, so a dash always stops at them.
#pragma once

#include "engine/QNKeys.h"
#include "entities/Entity.h"

#include <cstdint>
#include <memory>
#include <string>

class Animation2D;
class LightedAnimation2D;
class Player;

class NPC : public RenderableEntity {
public:
    // Interaction input: low 16 bits the pad's button mask, bits 16..23 the
    // keyboard key. 0: an automatic character.
    static constexpr uint32_t kTalkInput = 0x4000u | (0x45u << 16); // pad X, key E
    static constexpr float kAutoRangeSq = 1000.0f;                  // about 31.6 units
    static constexpr float kAutoInterval = 3.0f;   // seconds between automatic acts
    static constexpr float kPromptLow = 26.0f;     // prompt height while hidden, world units
    static constexpr float kPromptHigh = 50.0f;    // prompt height once popped up
    static constexpr float kPromptBoxSize = 32.0f; // world units
    static constexpr float kPromptGlyphSize = 16.0f;

    // The prompt's pictures: the box, and the glyph with animation 0 the
    // keyboard key and 1 the pad button.
    struct Prompt {
        Sprite2D* box = nullptr;
        Animation2D* glyph = nullptr;
    };
    static Prompt LoadPrompt();
    // A lit strip for a character's body: `texture` (under assets/) with
    // its normal map, `frames` frames of `frameDelay` seconds.
    static LightedAnimation2D* LoadBody(const std::string& texture, int32_t frames,
                                        float frameDelay);

    // Takes ownership of body and of the prompt's pictures.
    NPC(int32_t roomId, uint32_t interactInput, Sprite2D* body, const Prompt& prompt);
    ~NPC() override;

    // What the character does when Blade interacts with it.
    virtual void Interact(Player& player) = 0;

    // The interaction test (input and range, or proximity for an automatic
    // character), the prompt, then the body. Always stays in the list.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // The prompt box, then its glyph.
    void DrawOverlay() override;
    // Hides the prompt at once.
    void OnRoomExit() override;

    bool IsAutomatic() const { return interactInput == 0; }
    // From now on the character acts only when Blade presses the talk
    // input near it (its prompt shows then).
    void TalkOnlyWhenAsked() { interactInput = kTalkInput; }
    // The first player in the list, or null.
    static Player* FindPlayer(const EntityList* list);
    // Squared distance between Blade's collider centre and this character's.
    float DistanceSqTo(const Player& player) const;

    int32_t interactionOn = 1; // 0: neither reacts nor shows its prompt
    uint32_t interactInput;
    float autoTimer = kAutoInterval; // seconds since the last automatic act
    float interactRangeSq = 2500.0f; // 50 units
    std::unique_ptr<Sprite2D> promptBox;
    std::unique_ptr<Animation2D> promptGlyph;
    // The prompt's animated state, copied into both pictures every frame.
    Vec2 promptOffset{0.0f, kPromptLow}; // above the character, world units
    Vec2 promptScale{0.0f, 0.0f};        // 0 hidden, 1 full size
    float promptTint[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    bool promptUp = false;
    uint8_t promptKey = QN_VK_E; // the talk key the glyph shows

protected:
    // Puts the body at position with size (mirrored when flip), with a
    // circle collider of base radius `radius`.
    void Place(Vec2 position, Vec2 size, bool flip, float radius);
    // Pops the prompt up (true) or shrinks it away (false).
    void ShowPrompt(bool show);

private:
    void StopPromptTweens();
    void UpdatePrompt(float dt, GameObject* parent);
};
