<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="fixture_terrain" tilewidth="48" tileheight="48" tilecount="16" columns="4">
 <image source="fixture_terrain.png" width="192" height="192"/>
 <tile id="4">
  <properties>
   <property name="walkable" type="bool" value="true"/>
  </properties>
 </tile>
 <tile id="5">
  <properties>
   <property name="walkable" value="1"/>
  </properties>
 </tile>
 <tile id="6">
  <properties>
   <property name="walkable" type="bool" value="false"/>
  </properties>
 </tile>
 <tile id="7">
  <properties>
   <property name="colour" value="grey"/>
  </properties>
 </tile>
</tileset>
