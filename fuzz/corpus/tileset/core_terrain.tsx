<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="core_terrain" tilewidth="48" tileheight="48" tilecount="14" columns="7">
 <image source="../core_terrain.png" width="336" height="96"/>
 <tile id="0"><properties><property name="piece" value="left wall"/></properties></tile>
 <tile id="1"><properties><property name="piece" value="inner corner, floor above and left"/></properties></tile>
 <tile id="2"><properties><property name="piece" value="bottom wall"/></properties></tile>
 <tile id="3"><properties><property name="piece" value="inner corner, floor above and right"/></properties></tile>
 <tile id="4">
  <properties>
   <property name="piece" value="floor"/>
   <property name="walkable" type="bool" value="true"/>
  </properties>
 </tile>
 <tile id="5"><properties><property name="piece" value="inner corner, floor below and left"/></properties></tile>
 <tile id="6"><properties><property name="piece" value="top wall"/></properties></tile>
 <tile id="7"><properties><property name="piece" value="inner corner, floor below and right"/></properties></tile>
 <tile id="8"><properties><property name="piece" value="right wall"/></properties></tile>
 <tile id="9"><properties><property name="piece" value="outer corner, top left"/></properties></tile>
 <tile id="10"><properties><property name="piece" value="outer corner, top right"/></properties></tile>
 <tile id="11"><properties><property name="piece" value="void"/></properties></tile>
 <tile id="12"><properties><property name="piece" value="outer corner, bottom left"/></properties></tile>
 <tile id="13"><properties><property name="piece" value="outer corner, bottom right"/></properties></tile>
</tileset>
