CREATE TABLE `cities` (`ID` INT( 255 ) NOT NULL AUTO_INCREMENT ,`Acronym` CHAR( 3 ) NOT NULL ,`FullName` VARCHAR( 255 ) NOT NULL ,`PostalCode` INT( 6 ) DEFAULT '0' NOT NULL ,`Country` VARCHAR( 255 ) NOT NULL ,`CountryCode` CHAR( 3 ) NOT NULL ,PRIMARY KEY ( `ID` ));
CREATE TABLE `customers` (`ID` INT( 255 ) NOT NULL AUTO_INCREMENT ,`FirstName` VARCHAR( 255 ) NOT NULL ,`SurName` VARCHAR( 255 ) NOT NULL ,`Address` VARCHAR( 255 ) NOT NULL ,`City` CHAR( 3 ) NOT NULL ,`Telephone` VARCHAR( 25 ) DEFAULT '0' NOT NULL ,`Email` VARCHAR( 255 ) NOT NULL ,`PersonalIDNo` VARCHAR( 25 ) DEFAULT '0' NOT NULL ,`Joined` DATE DEFAULT '0000-00-00',`ShippingAddress` VARCHAR( 255 ) NOT NULL ,PRIMARY KEY ( `ID` ));
CREATE TABLE `products` (`ID` INT( 255 ) NOT NULL AUTO_INCREMENT ,`Description` VARCHAR( 255 ) NOT NULL ,`UM` VARCHAR( 255 ) NOT NULL ,`Quantity` DOUBLE( 255, 0 ) UNSIGNED DEFAULT '0' NOT NULL ,`Price` DOUBLE( 255, 2 ) UNSIGNED DEFAULT '0.00' NOT NULL ,`BarCode` VARCHAR( 255 ) DEFAULT '0' NOT NULL ,`LastDelivery` DATE DEFAULT '0000-00-00',PRIMARY KEY ( `ID` ));
CREATE TABLE `turnover` (`ID` INT( 255 ) NOT NULL AUTO_INCREMENT ,`ProductID` INT( 255 ) DEFAULT '0' NOT NULL ,`Quantity` DOUBLE( 255, 0 ) UNSIGNED DEFAULT '0' NOT NULL ,`Price` DOUBLE( 255, 2 ) UNSIGNED DEFAULT '0.00' NOT NULL ,`PricewTax` DOUBLE( 255, 2 ) UNSIGNED DEFAULT '0.00' NOT NULL ,`Date` DATE DEFAULT '0000-00-00',`CustomerID` INT( 255 ) DEFAULT '0' NOT NULL ,PRIMARY KEY ( `ID` ))
;
-- Kestrel sends each CREATE TABLE above exactly as it stands, the sales table's
-- without a semicolon; the lone one ends it for the mariadb client. A scanned
-- bar code finds its product through the first; the sales reports find a
-- day's sales and join each sale to its customer and product through the
-- others.
CREATE INDEX `BarCode` ON `products` ( `BarCode` );
CREATE INDEX `Date` ON `turnover` ( `Date` );
CREATE INDEX `CustomerID` ON `turnover` ( `CustomerID` );
CREATE INDEX `ProductID` ON `turnover` ( `ProductID` );
