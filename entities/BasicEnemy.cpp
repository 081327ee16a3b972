// BasicEnemy -- the rifle soldier.
#include "entities/BasicEnemy.h"

const std::vector<std::string>& BasicEnemy::BodyFiles() {
    static const std::vector<std::string> files = {
        "enemy_idle.png",      "enemy_run.png",  "enemy_shoot.png", "enemy_shootup.png",
        "enemy_shootdown.png", "enemy_hurt.png", "enemy_dead.png",
    };
    return files;
}

BasicEnemy::BasicEnemy(int32_t room, const Vec2& position, bool disabled)
    : Enemy(room, LoadBody(BodyFiles()), EnemyPoses{}) {
    attackDisabled = disabled;
    SetPosition(position);
    SetBodyCollider(0.12f);
}

void BasicEnemy::ChangeHealth(const float& delta, Entity* source) {
    if (IsDead())
        return;
    Enemy::ChangeHealth(delta, source);
    ShowHit();
}

bool BasicEnemy::Update(float dt, GameObject* parent, EntityList* list) {
    Enemy::Update(dt, parent, list);
    RestIdle();
    return true;
}

void BasicEnemy::Attack(const Vec2& targetPosition, EntityList& list, float dt) {
    AimAndFire(targetPosition, list, dt, fireInterval);
}
