// ProjectilePool -- every projectile the game makes, and the idle ones.
#include "entities/ProjectilePool.h"

#include "entities/Projectile.h"

ProjectilePool::Store& ProjectilePool::Get() {
    static Store store;
    return store;
}

Projectile* ProjectilePool::Acquire() {
    Store& store = Get();
    Projectile* p = nullptr;
    if (store.idle.empty()) {
        store.all.push_back(std::make_unique<Projectile>());
        p = store.all.back().get();
    } else {
        p = store.idle.back();
        store.idle.pop_back();
    }
    p->pooled = false;
    p->Reset();
    return p;
}

void ProjectilePool::Release(Projectile* projectile) {
    if (projectile == nullptr || projectile->pooled)
        return;
    projectile->pooled = true;
    Get().idle.push_back(projectile);
}

void ProjectilePool::Clear() {
    Store& store = Get();
    store.idle.clear();
    store.all.clear();
    store.idle.shrink_to_fit();
    store.all.shrink_to_fit();
}

size_t ProjectilePool::IdleCount() {
    return Get().idle.size();
}

size_t ProjectilePool::TotalCount() {
    return Get().all.size();
}
