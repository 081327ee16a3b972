<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="fixture_sprites" tilewidth="32" tileheight="40" tilecount="2" columns="0">
 <grid orientation="orthogonal" width="1" height="1"/>
 <tile id="0">
  <image width="32" height="40" source="crate.png"/>
 </tile>
 <tile id="1">
  <image width="24" height="30" source="../props/barrel.png"/>
 </tile>
</tileset>
