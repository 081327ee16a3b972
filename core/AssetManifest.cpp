// AssetManifest -- the shared table of images, sounds and music.
#include "core/AssetManifest.h"

#include "core/PromptGlyphs.h"

#include <algorithm>

namespace {

// Characters, stations and the dummy are 96 x 96 frames; projectiles 48 x 48.
AssetImage Body(const char* file, int frames, float seconds, std::vector<AssetFrameTime> own = {}) {
    return AssetImage{file, frames, 96, 96, true, seconds, std::move(own)};
}
AssetImage Shot(const char* file, int frames, float seconds) {
    return AssetImage{file, frames, 48, 48, true, seconds, {}};
}
AssetImage Lit(const char* file, int frames, int w, int h, float seconds) {
    return AssetImage{file, frames, w, h, true, seconds, {}};
}
AssetImage Flat(const char* file, int frames, int w, int h, float seconds = 0.0f) {
    return AssetImage{file, frames, w, h, false, seconds, {}};
}

AssetImage Themed(const char* file) {
    return Lit(file, 1, kAssetTerrainColumns * kAssetTileSize,
               kAssetThemedTerrainRows * kAssetTileSize, 0.0f);
}

std::vector<AssetImage> BuildImages() {
    std::vector<AssetImage> images = {
        // Blade: the art faces left.
        Body("blade_leftidle.png", 2, 0.3f),
        Body("blade_leftidlerand.png", 8, 0.15f),
        Body("blade_leftrun.png", 8, 0.1f),
        Body("blade_slashl.png", 7, 0.06f),
        Body("blade_slashll.png", 8, 0.075f, {{0, 0.02f}, {1, 0.05f}}),
        Body("blade_slashlll.png", 6, 0.065f, {{2, 0.08f}, {3, 0.08f}, {4, 0.08f}}),
        Body("blade_slashlrl.png", 7, 0.085f, {{0, 0.03f}, {4, 0.1f}, {5, 0.1f}, {6, 0.1f}}),
        Body("blade_slashr.png", 8, 0.2f, {{0, 0.08f}, {2, 0.1f}, {3, 0.1f}, {7, 0.05f}}),
        Body("blade_slashrr.png", 8, 0.2f, {{0, 0.1f}, {2, 0.1f}, {3, 0.1f}, {7, 0.05f}}),
        Body("blade_slashrrr.png", 8, 0.2f, {{0, 0.1f}, {2, 0.1f}, {3, 0.1f}, {4, 0.08f}}),
        Body("blade_slashrlr.png", 8, 0.08f, {{1, 0.2f}, {5, 0.15f}, {6, 0.1f}, {7, 0.1f}}),
        Body("blade_leftdash.png", 8, 0.075f, {{0, 0.02f}, {1, 0.05f}, {7, 0.01f}}),
        Body("blade_leftdead.png", 8, 0.12f),
        // Soldier: every enemy faces right.
        Body("enemy_idle.png", 2, 0.3f),
        Body("enemy_run.png", 8, 0.08f),
        Body("enemy_shoot.png", 4, 0.15f),
        Body("enemy_shootup.png", 4, 0.15f),
        Body("enemy_shootdown.png", 4, 0.15f),
        Body("enemy_hurt.png", 3, 0.1f),
        Body("enemy_dead.png", 7, 0.08f, {{0, 0.12f}, {1, 0.1f}}),
        // Heavy.
        Body("heavyenemy_idle.png", 2, 0.3f),
        Body("heavyenemy_run.png", 8, 0.1f, {{0, 0.18f}, {4, 0.18f}}),
        Body("heavyenemy_shoot.png", 4, 0.15f),
        Body("heavyenemy_shootup.png", 4, 0.15f),
        Body("heavyenemy_shootdown.png", 4, 0.15f),
        Body("heavyenemy_hurt.png", 3, 0.15f),
        Body("heavyenemy_slash.png", 6, 0.1f),
        Body("heavyenemy_dead.png", 7, 0.1f, {{4, 0.15f}, {5, 0.15f}}),
        // Biohazard trooper.
        Body("bioenemy_idle.png", 2, 0.3f),
        Body("bioenemy_run.png", 8, 0.08f),
        Body("bioenemy_shoot.png", 4, 0.15f),
        Body("bioenemy_shootup.png", 4, 0.15f),
        Body("bioenemy_shootdown.png", 4, 0.15f),
        Body("bioenemy_throw.png", 4, 0.15f),
        Body("bioenemy_hurt.png", 3, 0.1f),
        Body("bioenemy_dead.png", 8, 0.15f),
        // Commander.
        Body("commander_idle.png", 2, 0.3f),
        Body("commander_run.png", 8, 0.1f),
        Body("commander_slash.png", 6, 0.08f),
        Body("commander_hurt.png", 3, 0.1f),
        Body("commander_dead.png", 4, 0.12f),
        Body("commander_reallydead.png", 5, 0.12f),
        // Projectiles.
        Shot("enemy_projectile.png", 3, 0.1f),
        Shot("enemy_projectile_destroy.png", 4, 0.08f),
        Shot("bioenemy_nade.png", 5, 0.1f),
        // Training dummy.
        Body("trainingdummy.png", 7, 0.08f, {{0, 0.04f}}),
        Body("trainingdummy_shoot.png", 6, 0.15f),
        // Refill stations: idle hum, the refill itself, spent.
        Body("hpstation_idle.png", 4, 0.15f),
        Body("mpstation_idle.png", 4, 0.15f),
        Body("hpstation_action.png", 8, 0.08f),
        Body("mpstation_action.png", 8, 0.08f),
        Body("hpstation_empty.png", 2, 0.4f),
        Body("mpstation_empty.png", 2, 0.4f),
        // Pickups and room props.
        Lit("pickup_mana.png", 1, 14, 20, 0.0f),
        Lit("prop_gate.png", 4, 96, 64, 0.08f),
        Lit("prop_torch.png", 3, 32, 32, 0.2f),
        Lit("prop_crate.png", 1, 48, 48, 0.0f),
        Lit("prop_barrel.png", 1, 48, 48, 0.0f),
        Lit("prop_urn.png", 1, 48, 48, 0.0f),
        Lit("prop_ammo_box.png", 1, 48, 48, 0.0f),
        Lit("prop_pillar.png", 1, 48, 96, 0.0f),
        Lit("prop_rubble.png", 1, 48, 48, 0.0f),
        Lit("prop_weapon_rack.png", 1, 64, 48, 0.0f),
        Lit("prop_banner.png", 1, 32, 64, 0.0f),
        // Props of the story's rooms (campaign_sprites.tsx holds these and
        // the ones above).
        Lit("prop_bones.png", 1, 48, 48, 0.0f),
        Lit("prop_sack.png", 1, 48, 48, 0.0f),
        Lit("prop_anvil.png", 1, 48, 48, 0.0f),
        Lit("prop_vat.png", 1, 48, 96, 0.0f),
        Lit("prop_bunk.png", 1, 48, 96, 0.0f),
        Lit("prop_table.png", 1, 96, 48, 0.0f),
        Lit("prop_chains.png", 1, 32, 64, 0.0f),
        Lit("prop_throne.png", 1, 64, 96, 0.0f),
        // A brazier burns like a torch (rooms give it to a torch object).
        Lit("prop_brazier.png", 3, 48, 48, 0.15f),
        // Non-player characters (rooms name them "../npc_*.png").
        Body("npc_quartermaster.png", 4, 0.2f),
        Body("npc_prisoner.png", 4, 0.25f),
        Body("npc_scout.png", 4, 0.2f),
        Body("npc_smith.png", 4, 0.2f),
        Body("npc_deserter.png", 4, 0.25f),
        // Dialogue portraits: a loop of rest, a few words and a blink
        // (conversation files give the frame count and timing again).
        Flat("portrait_blade.png", 8, 96, 96, 0.18f),
        Flat("portrait_commander.png", 8, 96, 96, 0.18f),
        Flat("portrait_quartermaster.png", 8, 96, 96, 0.18f),
        Flat("portrait_prisoner.png", 8, 96, 96, 0.18f),
        Flat("portrait_scout.png", 8, 96, 96, 0.18f),
        Flat("portrait_smith.png", 8, 96, 96, 0.18f),
        Flat("portrait_deserter.png", 8, 96, 96, 0.18f),
        // Terrain atlas: 14 tiles of 48 x 48, global ids 1 to 14.
        Lit("core_terrain.png", 1, kAssetTerrainColumns * kAssetTileSize, 2 * kAssetTileSize, 0.0f),
        // The story's themed atlases: the cells, the forges, the gas works,
        // the barracks, the high keep and the Commander's hall.
        Themed("terrain_cells.png"),
        Themed("terrain_forge.png"),
        Themed("terrain_vents.png"),
        Themed("terrain_barracks.png"),
        Themed("terrain_keep.png"),
        Themed("terrain_hall.png"),
        // Interface.
        Flat("cursor.png", 1, 24, 24),
        Flat("title.png", 1, 357, 185),
        Flat("credits.png", 1, 512, 384),
        Flat("Brevant_WEB_RED.png", 1, 610, 178),
        Flat("FerrowInverted.png", 2, 210, 160, 0.12f),
        Flat("frame_pipe.png", 1, 8, 3),
        Flat("frame_corner.png", 1, 16, 16),
        Flat("bar_color.png", 1, 4, 4),
        Flat("ui_playerhud_frame.png", 1, 120, 33),
        Flat("popup_box.png", 1, 32, 32),
        Flat("popup_left_click.png", 1, 16, 16),
        Flat("popup_right_click.png", 1, 16, 16),
        Flat(kPlainKeyCap, 1, 16, 16),
        Flat("popup_joy_x.png", 1, 16, 16),
        Flat("dialoguebox_top.png", 1, 160, 14),
        Flat("dialoguebox_center.png", 1, 160, 16),
        Flat("dialoguebox_bottom.png", 1, 160, 14),
    };
    // The prompts' lettered key caps (their names live as long as the game).
    for (const KeyCap& cap : KeyCaps())
        images.push_back(Flat(cap.file.c_str(), 1, 16, 16));
    return images;
}

} // namespace

std::vector<float> AssetImage::FrameList() const {
    std::vector<float> list;
    list.reserve(static_cast<size_t>(frames) + 1);
    list.push_back(static_cast<float>(frames));
    for (int i = 0; i < frames; ++i) {
        float seconds = frameSeconds;
        for (const AssetFrameTime& own : ownTimes)
            if (own.frame == i)
                seconds = own.seconds;
        list.push_back(seconds);
    }
    return list;
}

const std::vector<AssetImage>& AssetImages() {
    static const std::vector<AssetImage> images = BuildImages();
    return images;
}

const AssetImage* FindAssetImage(const std::string& file) {
    const std::vector<AssetImage>& images = AssetImages();
    const auto it = std::find_if(images.begin(), images.end(),
                                 [&](const AssetImage& image) { return file == image.file; });
    return it == images.end() ? nullptr : &*it;
}

std::string AssetNormalMapName(const std::string& file) {
    const size_t dot = file.rfind('.');
    if (dot == std::string::npos)
        return file + "_n";
    return file.substr(0, dot) + "_n" + file.substr(dot);
}

const char* const kAssetEndlessMusic = "03.Level0Music.ogg";
const char* const kAssetMenuMusic = "05 - Jesu, Joy of Man's Desiring.mp3";
const char* const kAssetBossMusic = "06.CommanderMusic.ogg";

const std::vector<AssetSound>& AssetSounds() {
    static const std::vector<AssetSound> sounds = {
        {"cursor_move.wav", false, 0.08f, "menu highlight moves"},
        {"cursor_select.wav", false, 0.18f, "menu button pressed"},
        {"light_slash.wav", false, 0.22f, "Blade's light slash"},
        {"heavy_slash.wav", false, 0.40f, "Blade's heavy slash"},
        {"dash_slash.wav", false, 0.50f, "Blade's dash"},
        {"pewlazer.wav", false, 0.25f, "a soldier's laser shot"},
        {"hit.wav", false, 0.25f, "a hit lands"},
        {"deflect.wav", false, 0.30f, "a bullet batted back"},
        {"windup.wav", false, 0.35f, "a soldier takes aim"},
        {"enemy_heavy_slash.wav", false, 0.45f, "the heavy's cleaver"},
        {"bio_grenade.wav", false, 0.90f, "a gas canister bursts"},
        {"teleport.wav", false, 0.55f, "the Commander vanishes"},
        {"commander_slash.wav", false, 0.35f, "the Commander's sabre"},
        {"laserrekt.wav", false, 0.35f, "a prop shot apart"},
        {"slashrekt.wav", false, 0.40f, "a prop cut apart"},
        {"pickup.wav", false, 0.35f, "a mana bottle taken"},
        {"refill_station3.wav", false, 1.10f, "a station refills"},
        {"dialog_advance.wav", false, 0.06f, "a dialogue line appears"},
        {kAssetMenuMusic, true, 64.0f, "main menu"},
        {kAssetEndlessMusic, true, 64.0f, "endless mode"},
        {"01.Level1Music.ogg", true, 64.0f, "story level 1"},
        {"02.Level2Music.ogg", true, 64.0f, "story level 2"},
        {"04.Level3Music.ogg", true, 64.0f, "story level 3"},
        {"07.Level4Music.ogg", true, 64.0f, "story level 4"},
        {"08.Level5Music.ogg", true, 64.0f, "story level 5"},
        {"09.Level6Music.ogg", true, 64.0f, "story level 6"},
        {"10.Level7Music.ogg", true, 64.0f, "story level 7"},
        {kAssetBossMusic, true, 64.0f, "the Commander's hall"},
    };
    return sounds;
}

const AssetSound* FindAssetSound(const std::string& file) {
    const std::vector<AssetSound>& sounds = AssetSounds();
    const auto it = std::find_if(sounds.begin(), sounds.end(),
                                 [&](const AssetSound& sound) { return file == sound.file; });
    return it == sounds.end() ? nullptr : &*it;
}

const std::vector<std::string>& AssetLevelMusic() {
    static const std::vector<std::string> tracks = {
        "01.Level1Music.ogg", "02.Level2Music.ogg", "04.Level3Music.ogg", "07.Level4Music.ogg",
        "08.Level5Music.ogg", "09.Level6Music.ogg", "10.Level7Music.ogg"};
    return tracks;
}

const std::vector<AssetPropTile>& AssetPropTiles() {
    static const std::vector<AssetPropTile> tiles = {
        {"prop_crate.png", true},        {"prop_barrel.png", true},  {"prop_urn.png", true},
        {"prop_ammo_box.png", true},     {"prop_pillar.png", false}, {"prop_rubble.png", false},
        {"prop_weapon_rack.png", false}, {"prop_banner.png", false},
    };
    return tiles;
}
