<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="keep_terrain" tilewidth="48" tileheight="48" tilecount="35" columns="7">
 <image source="../terrain_keep.png" width="336" height="240"/>
 <tile id="0"><properties><property name="piece" value="left wall"/></properties></tile>
 <tile id="1"><properties><property name="piece" value="inner corner, floor above and left"/></properties></tile>
 <tile id="2"><properties><property name="piece" value="bottom wall"/></properties></tile>
 <tile id="3"><properties><property name="piece" value="inner corner, floor above and right"/></properties></tile>
 <tile id="4"><properties><property name="piece" value="floor"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="5"><properties><property name="piece" value="inner corner, floor below and left"/></properties></tile>
 <tile id="6"><properties><property name="piece" value="top wall"/></properties></tile>
 <tile id="7"><properties><property name="piece" value="inner corner, floor below and right"/></properties></tile>
 <tile id="8"><properties><property name="piece" value="right wall"/></properties></tile>
 <tile id="9"><properties><property name="piece" value="outer corner, top left"/></properties></tile>
 <tile id="10"><properties><property name="piece" value="outer corner, top right"/></properties></tile>
 <tile id="11"><properties><property name="piece" value="void"/></properties></tile>
 <tile id="12"><properties><property name="piece" value="outer corner, bottom left"/></properties></tile>
 <tile id="13"><properties><property name="piece" value="outer corner, bottom right"/></properties></tile>
 <tile id="14"><properties><property name="piece" value="cracked floor"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="15"><properties><property name="piece" value="cracked floor"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="16"><properties><property name="piece" value="floor with growth"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="17"><properties><property name="piece" value="floor with growth"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="18"><properties><property name="piece" value="bloodied floor"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="19"><properties><property name="piece" value="bloodied floor"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="20"><properties><property name="piece" value="grate"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="21"><properties><property name="piece" value="rug, top left"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="22"><properties><property name="piece" value="rug, top"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="23"><properties><property name="piece" value="rug, top right"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="24"><properties><property name="piece" value="rug, left"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="25"><properties><property name="piece" value="rug"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="26"><properties><property name="piece" value="rug, right"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="27"><properties><property name="piece" value="puddle"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="28"><properties><property name="piece" value="rug, bottom left"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="29"><properties><property name="piece" value="rug, bottom"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="30"><properties><property name="piece" value="rug, bottom right"/><property name="walkable" type="bool" value="true"/></properties></tile>
 <tile id="31"><properties><property name="piece" value="top wall, cracked"/></properties></tile>
 <tile id="32"><properties><property name="piece" value="top wall with growth"/></properties></tile>
 <tile id="33"><properties><property name="piece" value="top wall with pipes"/></properties></tile>
 <tile id="34"><properties><property name="piece" value="top wall with a grille"/></properties></tile>
</tileset>
