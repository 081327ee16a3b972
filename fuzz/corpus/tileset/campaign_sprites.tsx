<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="campaign_sprites" tilewidth="96" tileheight="96" tilecount="16" columns="0">
 <grid orientation="orthogonal" width="1" height="1"/>
 <tile id="0">
  <properties><property name="Sliceable" type="bool" value="true"/></properties>
  <image source="../prop_crate.png" width="48" height="48"/>
 </tile>
 <tile id="1">
  <properties><property name="Sliceable" type="bool" value="true"/></properties>
  <image source="../prop_barrel.png" width="48" height="48"/>
 </tile>
 <tile id="2">
  <properties><property name="Sliceable" type="bool" value="true"/></properties>
  <image source="../prop_urn.png" width="48" height="48"/>
 </tile>
 <tile id="3">
  <properties><property name="Sliceable" type="bool" value="true"/></properties>
  <image source="../prop_ammo_box.png" width="48" height="48"/>
 </tile>
 <tile id="4">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_pillar.png" width="48" height="96"/>
 </tile>
 <tile id="5">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_rubble.png" width="48" height="48"/>
 </tile>
 <tile id="6">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_weapon_rack.png" width="64" height="48"/>
 </tile>
 <tile id="7">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_banner.png" width="32" height="64"/>
 </tile>
 <tile id="8">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_bones.png" width="48" height="48"/>
 </tile>
 <tile id="9">
  <properties><property name="Sliceable" type="bool" value="true"/></properties>
  <image source="../prop_sack.png" width="48" height="48"/>
 </tile>
 <tile id="10">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_anvil.png" width="48" height="48"/>
 </tile>
 <tile id="11">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_vat.png" width="48" height="96"/>
 </tile>
 <tile id="12">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_bunk.png" width="48" height="96"/>
 </tile>
 <tile id="13">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_table.png" width="96" height="48"/>
 </tile>
 <tile id="14">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_chains.png" width="32" height="64"/>
 </tile>
 <tile id="15">
  <properties><property name="Sliceable" type="bool" value="false"/></properties>
  <image source="../prop_throne.png" width="64" height="96"/>
 </tile>
</tileset>
